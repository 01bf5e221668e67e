#pragma once
// The port through which the core talks to the user: message boxes in the
// windows, stderr on the command line, a recorder in the tests.

#include <string>

namespace kestro {

enum class Answer { Yes, No, Cancel };

class Messages {
public:
    virtual ~Messages() = default;
    virtual void show(const std::string& text) = 0;
    virtual Answer ask(const std::string& text) = 0;
    virtual void beep() {}
    virtual void busy(bool) {}
    // A result cut short at a table's capacity ("Too many generated atoms",
    // "Too much bonds!", "The number of atoms is > 10000!"): what fitted is
    // kept and the text is shown. The command line fails the command on it.
    virtual void limit_reached(const std::string& text) { show(text); }
};

// Shows the wait cursor for the lifetime of the object.
class BusyScope {
public:
    explicit BusyScope(Messages& messages) : messages_(messages) { messages_.busy(true); }
    ~BusyScope() { messages_.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Messages& messages_;
};

} // namespace kestro
