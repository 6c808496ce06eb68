// The folder a fuzz target runs selvane in, and the check that a run touched nothing it should
// not: every input stays byte for byte as it was, and no file appears that the run may not write.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace selvane::fuzz {

// Two small alignments of four sequences (FASTA) and a paths file listing both.
inline const std::vector<std::pair<std::string, std::string>> kInputs = {
    {"a.fas",
     ">s1 human\nMKVLAAGIVGLLLAWQPSEAHKTLDEWRRLASGNPKVIVDE\n"
     ">s2 mouse\nMKVLSAGIVALLLAWQPSEAHRTLDEWKRLASGNPKVLVDE\n"
     ">s3 frog\nMKILAAGLVGLLLAWQ-SEAHKTIDEWRKLAS--PKVIVDE\n"
     ">s4 fish\nMRVLAAGIVGLL-AWQPSDAHKTLEEWRRLATGNPRVIIDE\n"},
    {"b.fas",
     ">s1 human\nACDEFGHIKLMNPQ--RSTVWY\n>s2 mouse\nACDEFGHIKLMNPQTTRSTVWY\n"
     ">s3 frog\nACDEYGHIKLMNP---RSTVWY\n>s4 fish\nACNEFGHIRLMNPQSTRSTVWF\n"},
    {"list", "a.fas\n\nb.fas\n"},
};

// Enters a fresh folder under the system's temporary folder, once per process, and lays out
// kInputs there.
void enter_scratch();

// Puts every input back as it was and removes everything else.
void reset_scratch();

// Aborts (a finding) when an input changed or a file stands in the folder that is neither an
// input nor one of `allowed`. With `allowed` empty, any file whose name begins with an input's
// name is taken as an output (the menus may run several times under several extensions). A
// folder (an output folder) may hold only files of `allowed`, named with the folder.
void check_scratch(const std::vector<std::string>& allowed, bool exact);

// The fuzz data made safe to use as typed text: no '/', so no name leaves the scratch folder.
std::string without_slashes(const unsigned char* data, std::size_t size);

}  // namespace selvane::fuzz
