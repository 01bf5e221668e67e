#include "ui/wmetafile2.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "output/metafile_picture.h"
#include "platform/image_export.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"

namespace kestro {

namespace {

const char* const EmfFilter = "Enhanced Metafiles (*.emf)";
const char* const SvgFilter = "SVG picture (*.svg)";
const char* const PdfFilter = "PDF document (*.pdf)";

} // namespace

Tfwmetafile2::Tfwmetafile2(StructureModel& model, Tfdessin& drawing, Messages* messages, QWidget* parent)
    : QDialog(parent), model_(model), drawing_(drawing)
{
    if (!messages) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages = own_messages_.get();
    }
    messages_ = messages;
    setWindowTitle(QStringLiteral("Metafile create"));
    width_ = new QLineEdit(QStringLiteral("800"), this);
    pen_ = new QLineEdit(QStringLiteral("1"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Width (Nb of pixels)"), width_);
    form->addRow(QStringLiteral("Penwidth"), pen_);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* b : {ok, cancel}) b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &Tfwmetafile2::go_metafile);
    connect(cancel, &QPushButton::clicked, this, &Tfwmetafile2::canel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

Tfwmetafile2::~Tfwmetafile2() = default;

void Tfwmetafile2::go_metafile()
{
    const auto read = [&](QLineEdit* field, long long low, long long high, const char* what) -> std::optional<int> {
        const std::string text = trim(ss(field->text()));
        const auto value = parse_integer(text);
        if (!value) {
            messages_->show("'" + text + "' is not a valid integer value");
            return std::nullopt;
        }
        if (*value < low || *value > high) {
            messages_->show(std::string(what) + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
            return std::nullopt;
        }
        return static_cast<int>(*value);
    };
    const auto width = read(width_, MinMetafileWidth, MaxMetafileWidth, "The width");
    if (!width) return;
    const auto pen = read(pen_, 1, MaxMetafilePen, "The pen width");
    if (!pen) return;

    const QString filters = QString::fromLatin1(EmfFilter) + ";;" + SvgFilter + ";;" + PdfFilter;
    QString selected = QString::fromLatin1(EmfFilter);
    const QString chosen = choose_file ? choose_file(filters, selected) : [&] {
        return QFileDialog::getSaveFileName(this, QString(), QString(), filters, &selected,
                                            QFileDialog::DontConfirmOverwrite);
    }();
    if (chosen.isNull()) {
        hide();
        return;
    }
    if (chosen.isEmpty()) return;
    MetafileFormat format = MetafileFormat::Emf;
    const char* extension = ".emf";
    if (selected == QLatin1String(SvgFilter)) format = MetafileFormat::Svg, extension = ".svg";
    if (selected == QLatin1String(PdfFilter)) format = MetafileFormat::Pdf, extension = ".pdf";
    const std::string path = with_default_extension(ss(chosen), extension);

    MetafileSettings settings;
    settings.width = *width;
    settings.pen_width = *pen;
    settings.slider_position = drawing_.scale_slider_position();
    const bool written = write_after_confirmation(path, *messages_, [&] {
        BusyScope busy(*messages_);
        write_metafile(path, format, settings.width,
                       [&](Canvas& canvas) { draw_metafile_picture(model_, settings, canvas, *messages_); });
    });
    if (written) hide();
}

void Tfwmetafile2::canel() { hide(); }

} // namespace kestro
