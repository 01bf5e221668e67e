#include "platform/help_viewer.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTextBrowser>

#include "formats/help_file.h"
#include "model/errors.h"
#include "platform/qt_text.h"

namespace kestro {

HelpViewer::HelpViewer(const std::string& data_directory, QWidget* parent)
    : QDialog(parent), data_directory_(data_directory)
{
    setWindowTitle(QStringLiteral("KESTRO Help"));
    resize(760, 520);
    auto* layout = new QHBoxLayout(this);
    topics_ = new QListWidget(this);
    topics_->setMaximumWidth(240);
    text_ = new QTextBrowser(this);
    // The topics are laid out in columns by hand: a fixed-pitch font keeps them.
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(topics_);
    layout->addWidget(text_, 1);
    connect(topics_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) show_topic(topics_->item(row)->data(Qt::UserRole).toInt());
    });
}

bool HelpViewer::open_context(int context)
{
    error_.clear();
    try {
        const auto contents = read_help_contents(data_directory_ + "/Kestro.cnt");
        const auto topics = read_help_file(data_directory_ + "/Kestro.hlp");
        if (!find_topic(topics, context)) {
            error_ = QStringLiteral("No help topic %1 in Kestro.hlp").arg(context);
            return false;
        }
        topics_->blockSignals(true);
        topics_->clear();
        for (const auto& [number, title] : contents) {
            auto* item = new QListWidgetItem(qs(title), topics_);
            item->setData(Qt::UserRole, number);
            if (number == context) topics_->setCurrentItem(item);
        }
        topics_->blockSignals(false);
    } catch (const IoError& error) {
        error_ = qs(error.what());
        return false;
    }
    show_topic(context);
    return true;
}

void HelpViewer::show_topic(int context)
{
    try {
        const auto topics = read_help_file(data_directory_ + "/Kestro.hlp");
        if (const HelpTopic* topic = find_topic(topics, context)) {
            current_ = context;
            setWindowTitle(QStringLiteral("KESTRO Help: ") + qs(topic->title));
            text_->setPlainText(qs(topic->text));
        }
    } catch (const IoError& error) {
        text_->setPlainText(qs(error.what()));
    }
}

void show_help_at(HelpViewer*& viewer, const std::string& data_directory, QWidget* parent, int context,
                  Messages& messages)
{
    if (!viewer) viewer = new HelpViewer(data_directory, parent);
    if (!viewer->open_context(context)) {
        messages.show(ss(viewer->error_text()));
        return;
    }
    viewer->show();
    viewer->raise();
}

} // namespace kestro
