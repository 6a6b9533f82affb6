// A small archive of known content and a repeatable source of damaged copies of it, for the
// tests that feed broken archives to the reader.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace testing_support {

// An archive with nested folders, text and binary files, stored and deflated entries.
std::string SampleArchive();
// Its files by relative path (backslashes) and content.
std::map<std::wstring, std::string> SampleArchiveContents();

// Copies of an archive with one to three bytes changed, or cut short, chosen by a seeded
// generator, so that a failure can be repeated.
class MutationSource {
public:
    MutationSource(std::string original, uint32_t seed) : m_original(std::move(original)), m_state(seed) {}
    std::string Next();

private:
    uint32_t Random();

    std::string m_original;
    uint32_t m_state;
};

}  // namespace testing_support
