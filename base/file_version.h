// The version of an executable file from its version resource.
#pragma once
#include <string>

namespace vt {

// "major.minor" and "major.minor.release.build" of the file's fixed file version; empty when the file has
// no version information.
std::wstring FileVersionShort(const std::wstring& fileName);
std::wstring FileVersionFull(const std::wstring& fileName);

// This program's version, read once at start-up by ReadProgramVersion (shown on the about page and sent
// with the new-version check).
extern std::wstring VersionShort;
extern std::wstring VersionFull;
void ReadProgramVersion();

}  // namespace vt
