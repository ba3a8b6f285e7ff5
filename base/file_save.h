// Whole-file writes that a crash or a power loss cannot leave half done: the new text goes to a
// temporary file in the same folder, is flushed to the disk, and then takes the old file's place in
// one rename. At any moment the file on disk is either the old one or the new one.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vt {

// The steps of a save, one virtual each, so a test can fail or interrupt any of them. The real steps
// are the Win32 calls; a handle is a kernel file handle, nullptr when creation failed.
class FileSaveSteps {
public:
    virtual ~FileSaveSteps() = default;
    virtual void* Create(const std::wstring& path, unsigned long attributes);
    virtual bool Write(void* file, std::string_view bytes);
    virtual bool Flush(void* file);
    virtual bool Close(void* file);
    virtual bool Replace(const std::wstring& from, const std::wstring& to);
    virtual bool Remove(const std::wstring& path);
};

FileSaveSteps& RealFileSaveSteps();

// The temporary file a save of `path` writes first; a crash may leave it behind, the next save
// overwrites it.
std::wstring SavingPathFor(const std::wstring& path);

// Writes `bytes` as the whole of `path`. False when any step failed; the old file is then untouched
// and the temporary file is gone, and the failed step's error is the last error.
bool SaveFileAtomically(const std::wstring& path, std::string_view bytes, FileSaveSteps& steps = RealFileSaveSteps());

// The whole file, or nothing when it is missing, unreadable or longer than `limit` bytes.
std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit);

// Copies a file through SaveFileAtomically, so the copy is whole or absent.
bool CopyFileAtomically(const std::wstring& from, const std::wstring& to, size_t limit);

}  // namespace vt
