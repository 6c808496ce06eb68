// What went wrong while reading an input, and where. The readers and detection only find
// problems; the caller words them (stop_reading in input/problems.h), so the messages stay in
// one place whatever format found them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace selvane {

enum class ReadProblemKind {
  // Detection, from the first line that is not blank.
  kNoFormat,        // no format claims the line (text: the line; empty when there is none);
                    // expected_text: the name of a format read with --in-format that would
  kPirWithoutType,  // an NBRF/PIR header without P or D after its '>' (text: the line)
  kNotInFormat,     // --in-format=NAME: the line opens no file of that format (text: the line)
  kNoKnownFormat,   // --in-format=auto: no format claims the line (text: the line)
  // The format readers.
  kNameTooLong,      // text: the name; count: its length; expected: the most that fits
  kNotPirEntry,      // an NBRF/PIR line where an entry must begin (text: the line)
  kPirEntryUnended,  // the input ends inside an NBRF/PIR entry, before its '*'
  kUnequalLengths,   // text: the name; count: its positions; expected(_text): the first's
  // The readers of the formats read with --in-format: PHYLIP, Clustal, Stockholm, NEXUS.
  kBadHeader,       // text: the header's offending line or word; expected_text: what it must be
  kLengthVsHeader,  // text: the name; count: its positions; expected: what the header announces
  kLengthVsBlock,   // text: the name; count: its positions in a block; expected: the block's
  kCountVsHeader,   // count: sequences read; expected: what the header announces
  kBlockUnended,    // count: the sequences of the block; expected: the sequences of a block
  kWrongName,       // text: the line's name; expected_text: the name due there
  kUnknownName,     // text: a name that no sequence of the first block has
  kAfterEnd,        // text: a line after the end of the alignment
  kUnended,         // expected_text: what the file ends without
  kUnsupported,     // text: the feature of the file that selvane does not read
  // The checks of a whole alignment.
  kNoInput,          // no format was decided: no input is open
  kTooFewSequences,  // count: the sequences read
  kTooFewPositions,  // count: the positions left
};

struct ReadProblem {
  explicit ReadProblem(ReadProblemKind what, std::int64_t at = 0, std::int32_t in_sequence = 0,
                       std::string offending = {})
      : kind(what), line(at), sequence(in_sequence), text(std::move(offending)) {}

  ReadProblemKind kind;
  std::int64_t line = 0;      // the line it was found on, from 1; 0 when it concerns no line
  std::int32_t sequence = 0;  // the sequence it concerns, from 1; 0 when none
  std::string text;           // the offending text, whole: a line or a name
  std::int64_t count = 0;     // how long or how many the offending thing is
  std::int64_t expected = 0;  // what was allowed or expected instead
  std::string expected_text;  // what `text` was compared with
  std::int64_t block = 0;     // the block of an interleaved format, from 1; 0 when none
  // The format whose rules were broken ("PHYLIP"), for the message; the reader's own row when
  // empty.
  std::string_view format;
};

}  // namespace selvane
