#include "ui/imprime.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "drawing/interaction.h"
#include "drawing/scene.h"
#include "platform/font_dialog.h"
#include "platform/canvas_fonts.h"
#include "platform/page_printer.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"

namespace kestro {

Tfimprime::Tfimprime(StructureModel& model, Tfdessin& drawing, Messages* messages, QWidget* parent)
    : QDialog(parent), model_(model), drawing_(drawing)
{
    if (!messages) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages = own_messages_.get();
    }
    messages_ = messages;
    setWindowTitle(QStringLiteral("Printing..."));

    auto* stereo_box = new QWidget(this);
    auto* stereo_row = new QHBoxLayout(stereo_box);
    stereo_row->setContentsMargins(0, 0, 0, 0);
    stereo_row->addWidget(new QLabel(QStringLiteral("Stereo view?"), stereo_box));
    stereo_ = new QButtonGroup(stereo_box);
    auto* no = new QRadioButton(QStringLiteral("No"), stereo_box);
    auto* yes = new QRadioButton(QStringLiteral("Yes"), stereo_box);
    stereo_->addButton(no, 0);
    stereo_->addButton(yes, 1);
    no->setChecked(true);
    stereo_row->addWidget(no);
    stereo_row->addWidget(yes);
    connect(stereo_, &QButtonGroup::idClicked, this, [this] { clickstereo(); });

    resolution_ = new QLineEdit(this);
    resolution_->setFixedWidth(60);
    pens_ = new QListWidget(this);
    for (int width = 1; width <= 5; ++width) pens_->addItem(QString::number(width));
    pens_->setFixedSize(50, 5 * pens_->sizeHintForRow(0) + 2 * pens_->frameWidth());
    auto* font = new QPushButton(QStringLiteral("printer Font"), this);
    connect(font, &QPushButton::clicked, this, &Tfimprime::set_font);
    patience_ = new QLabel(QStringLiteral("Be patient!"), this);
    patience_->hide();

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Printer resolution"), this), 0, 0);
    auto* dpi = new QHBoxLayout;
    dpi->addWidget(resolution_);
    dpi->addWidget(new QLabel(QStringLiteral("DPI"), this));
    fields->addLayout(dpi, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Pen Width "), this), 1, 0, Qt::AlignTop);
    fields->addWidget(pens_, 1, 1);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : {ok, cancel_button, help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(ok, &QPushButton::clicked, this, &Tfimprime::go_impression);
    connect(cancel_button, &QPushButton::clicked, this, &Tfimprime::cancel);
    connect(help, &QPushButton::clicked, this, [this] {
        if (drawing_.open_help) drawing_.open_help(3);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stereo_box);
    layout->addLayout(fields);
    layout->addWidget(font);
    layout->addWidget(patience_);
    layout->addLayout(buttons);
    init_crea();
}

Tfimprime::~Tfimprime() = default;

void Tfimprime::init_crea() { pens_->setCurrentRow(1); }

void Tfimprime::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) init_active();
    QDialog::showEvent(event);
}

void Tfimprime::init_active()
{
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);
    setAutoFillBackground(true);
    resolution_->setText(qs(resolution_text(pixels_per_cm_)));
    patience_->hide();
    // Coming back from here, the drawing keeps its view.
    drawing_.skip_next_activation();
}

void Tfimprime::clickstereo()
{
    if (stereo_->checkedId() == 1) pens_->setCurrentRow(0);
}

void Tfimprime::set_font()
{
    FontSpec font = label_font_spec(model_.drawing);
    const bool chosen =
        choose_font ? choose_font(font) : ask_font(this, QStringLiteral("printer Font"), font, FontColour::Kept);
    if (chosen) set_label_font(model_, font);
}

void Tfimprime::go_impression()
{
    const auto resolution = pixels_per_cm_from_text(ss(resolution_->text()));
    if (!resolution) {
        messages_->show("read error on Pixels/Cm");
        return;
    }
    pixels_per_cm_ = *resolution;
    const double dots_per_inch = pixels_per_cm_ * CentimetresPerInch;
    QPrinter printer(QPrinter::HighResolution);
    prepare_printer(printer, dots_per_inch);
    const bool confirmed = choose_printer ? choose_printer(printer) : [&] {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!confirmed) return;
    // The dialog may have changed them: the page is laid out for these.
    prepare_printer(printer, dots_per_inch);

    PrintSettings settings;
    settings.pixels_per_cm = pixels_per_cm_;
    settings.pen_width = std::max(1, pens_->currentRow() + 1);
    settings.stereo = stereo_->checkedId() == 1;
    settings.slider_position = drawing_.scale_slider_position();
    patience_->show();
    {
        BusyScope busy(*messages_);
        QApplication::processEvents();
        if (!paint_page(printer, dots_per_inch,
                        [&](Canvas& canvas) { draw_printed_page(model_, settings, canvas, *messages_); }))
            messages_->show("The printer could not be used");
    }
    patience_->hide();
    hide();
}

void Tfimprime::cancel() { hide(); }

} // namespace kestro
