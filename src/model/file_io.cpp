#include "model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/errors.h"

namespace kestro {

std::string read_file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path)) throw IoError("File not found: " + path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw IoError("Cannot read file: " + path);
    return content;
}

namespace {

[[noreturn]] void cannot_write(const std::string& path, int error)
{
    throw IoError("Cannot write file: " + path + ": " + std::strerror(error));
}

// The file a save replaces: a symbolic link is followed to the file it names,
// so that the link stays and its target gets the new content.
std::filesystem::path replaced_file(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path file = path;
    std::error_code error;
    for (int links = 0; links < 40 && fs::is_symlink(fs::symlink_status(file, error)); ++links) {
        const fs::path target = fs::read_symlink(file, error);
        if (error) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

} // namespace

void write_file_atomically(const std::string& path, const std::string& content)
{
    const std::string file = replaced_file(path).string();
    struct stat old_file {};
    const bool replacing = ::stat(file.c_str(), &old_file) == 0;
    // A write-protected file stays protected, as an ordinary write would.
    if (replacing && S_ISREG(old_file.st_mode) && ::access(file.c_str(), W_OK) != 0) cannot_write(path, errno);

    const std::string temporary = file + ".tmp-" + std::to_string(::getpid());
    const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) cannot_write(path, errno);
    int error = 0;
    if (replacing && S_ISREG(old_file.st_mode)) {
        // The new file keeps the old one's permissions and, where allowed, its owner.
        if (::fchown(out, old_file.st_uid, old_file.st_gid) != 0) { /* only root may give files away */ }
        if (::fchmod(out, old_file.st_mode & 07777) != 0) error = errno;
    }
    for (std::size_t done = 0; error == 0 && done < content.size();) {
        const ssize_t n = ::write(out, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        else done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(out) != 0) error = errno;
    if (::close(out) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        std::remove(temporary.c_str());
        cannot_write(path, error);
    }
}

PrivateDirectory::PrivateDirectory()
{
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "kestro-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw IoError("Cannot make a temporary directory in " + base.string() + ": " + std::strerror(errno));
    path_ = pattern;
}

PrivateDirectory::~PrivateDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool file_exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string with_default_extension(const std::string& name, const std::string& extension)
{
    // Only the file's own name counts: "data.v2/pic" has no extension yet.
    const std::size_t slash = name.find_last_of('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return name.find('.', start) == std::string::npos ? name + extension : name;
}

bool confirm_overwrite(const std::string& target, Messages& messages)
{
    if (!file_exists(target)) return true;
    messages.beep();
    return messages.ask("This file already exists. Do you want to continue?") == Answer::Yes;
}

bool write_after_confirmation(const std::string& target, Messages& messages, const std::function<void()>& write)
{
    if (!confirm_overwrite(target, messages)) return false;
    try {
        write();
    } catch (const IoError& error) {
        messages.show(error.what());
        return false;
    }
    return true;
}

} // namespace kestro
