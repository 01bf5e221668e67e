#pragma once
// Whole-file reading and the safe replacement of a file.

#include <functional>
#include <string>

#include "model/messages.h"

namespace kestro {

// The bytes of a file; IoError "File not found: NAME" when it cannot be opened.
std::string read_file_bytes(const std::string& path);
// Writes content to a temporary file beside path and renames it over path,
// so that a failed write leaves the old file as it was. The new file keeps
// the old one's mode; a symbolic link is written through to its target.
// IoError "Cannot write file: PATH: <system's reason>" on failure.
void write_file_atomically(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);

// A directory of this process alone under the system's temporary directory
// ("kestro-XXXXXX"), removed with its files when the object goes. IoError
// when it cannot be made.
class PrivateDirectory {
public:
    PrivateDirectory();
    ~PrivateDirectory();
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
// A file name without any "." gets the extension appended (".kes"); one with
// a dot is kept as it is. Dots in the directory part do not count.
std::string with_default_extension(const std::string& name, const std::string& extension);

// The overwrite question: true when target does not exist, or after the
// beep and Yes to "This file already exists. Do you want to continue?".
bool confirm_overwrite(const std::string& target, Messages& messages);

// The end of every save command: an existing target is replaced only after
// the beep and Yes to the overwrite question; the IoError of `write` is
// shown. True when written.
bool write_after_confirmation(const std::string& target, Messages& messages, const std::function<void()>& write);

} // namespace kestro
