#include "ui/disp_coord.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "platform/qt_text.h"
#include "ui/text_table_model.h"

namespace kestro {

Tfdisp_coord::Tfdisp_coord(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, CoordinatesReportName, parent)
{
    setWindowTitle(QStringLiteral("List of the generated coordinates"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    lines_ = new TextLinesModel(this);
    list_ = new QListView(this);
    list_->setModel(lines_);
    list_->setUniformItemSizes(true); // the view then needs no line's size but the first
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setFont(report_font());
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setToolTip(QStringLiteral("Copy the selected lines to the clipboard"));
    auto* edit = new QPushButton(QStringLiteral("Edit/Print the list"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {copy, edit, close}) b->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &Tfdisp_coord::copy_clipboard);
    connect(edit, &QPushButton::clicked, this, &Tfdisp_coord::BitBtn2Click);
    connect(close, &QPushButton::clicked, this, &Tfdisp_coord::sortie);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {copy, edit, close}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(list_);
    layout->addWidget(status_line());
    resize(420, 500);
}

Tfdisp_coord::~Tfdisp_coord() = default;

void Tfdisp_coord::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        initialise();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    ReportWindow::showEvent(event);
}

void Tfdisp_coord::reject() { sortie(); }

void Tfdisp_coord::initialise()
{
    const std::size_t width = coordinates_label_width(model_);
    lines_->set_lines(model_.generated.count() + 1,
                      [this, width](int line) { return coordinates_line(model_, line, width); });
}

void Tfdisp_coord::copy_clipboard()
{
    // The selected lines in their order; nothing selected, nothing copied.
    QModelIndexList selected = list_->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    std::sort(selected.begin(), selected.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList text;
    for (const QModelIndex& index : selected) text << qs(lines_->line(index.row()));
    QApplication::clipboard()->setText(text.join(QLatin1Char('\n')));
}

void Tfdisp_coord::BitBtn2Click()
{
    if (write_report_file(coordinates_report(model_))) edit_report();
}

void Tfdisp_coord::sortie()
{
    delete_report_file();
    hide();
}

} // namespace kestro
