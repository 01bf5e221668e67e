#pragma once
// The help window: the topics of Kestro.hlp listed from Kestro.cnt, opened
// at a context number.

#include <QDialog>

#include "model/messages.h"

class QListWidget;
class QTextBrowser;

namespace kestro {

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    HelpViewer(const std::string& data_directory, QWidget* parent = nullptr);
    // Shows the topic of that context number; false when the help files
    // cannot be read or hold no such topic.
    bool open_context(int context);
    QString error_text() const { return error_; }
    int current_context() const { return current_; }

private:
    void show_topic(int context);

    std::string data_directory_;
    QListWidget* topics_ = nullptr;
    QTextBrowser* text_ = nullptr;
    QString error_;
    int current_ = 0;
};

// Opens the window's help viewer (made on first use) at a context, or says
// why the help cannot be shown.
void show_help_at(HelpViewer*& viewer, const std::string& data_directory, QWidget* parent, int context,
                  Messages& messages);

} // namespace kestro
