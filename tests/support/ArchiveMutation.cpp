#include "tests/support/ArchiveMutation.h"

#include "tests/support/TestSupport.h"

namespace testing_support {

namespace {

std::string Pattern(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

}  // namespace

std::map<std::wstring, std::string> SampleArchiveContents()
{
    std::string text;
    for (int line = 0; line < 200; ++line) text += "line " + std::to_string(line) + " of a compressible text\r\n";
    return {
        {L"readme.txt", text},
        {L"bin\\data.bin", Pattern(5000, 7)},
        {L"bin\\nested\\deeper\\small.txt", "small"},
        {L"empty.txt", ""},
        {L"docs\\guide.txt", text + text},
    };
}

std::string SampleArchive()
{
    ZipBuilder builder;
    builder.Folder("bin/").Folder("bin/nested/").Folder("bin/nested/deeper/").Folder("docs/");
    for (const auto& file : SampleArchiveContents()) {
        std::string name = Narrow(file.first);
        for (char& c : name) c = c == '\\' ? '/' : c;
        builder.File(name, file.second);
    }
    return builder.Build();
}

uint32_t MutationSource::Random()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

std::string MutationSource::Next()
{
    std::string copy = m_original;
    if (Random() % 10 == 0) return copy.substr(0, Random() % copy.size());
    const int flips = 1 + static_cast<int>(Random() % 3);
    for (int i = 0; i < flips; ++i) copy[Random() % copy.size()] ^= static_cast<char>(1u << (Random() % 8));
    return copy;
}

}  // namespace testing_support
