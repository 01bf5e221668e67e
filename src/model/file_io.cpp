#include "model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
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

void write_file_atomically(const std::string& path, const std::string& content)
{
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) throw IoError("Cannot create file: " + path + " (" + std::strerror(errno) + ")");
    const bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    const bool flushed = std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    const bool closed = std::fclose(out) == 0;
    if (!written || !flushed || !closed) {
        std::remove(temporary.c_str());
        throw IoError("Cannot write file: " + path);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        throw IoError("Cannot write file: " + path + " (" + reason + ")");
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
    return name.find('.') == std::string::npos ? name + extension : name;
}

bool write_after_confirmation(const std::string& target, Messages& messages, const std::function<void()>& write)
{
    if (file_exists(target)) {
        messages.beep();
        if (messages.ask("This file already exists. Do you want to continue?") != Answer::Yes) return false;
    }
    try {
        write();
    } catch (const IoError& error) {
        messages.show(error.what());
        return false;
    }
    return true;
}

} // namespace kestro
