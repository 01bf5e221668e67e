// The drawing window's files: the picture as a bitmap, JPEG, SVG or PNG
// file or as a POV-Ray scene, and the structure as a structure file.

#include <QFileDialog>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSlider>
#include <QMenu>

#include "drawing/drawing_state.h"
#include "formats/kes.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "output/povray_scene.h"
#include "platform/image_export.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"
#include "ui/imprime.h"
#include "ui/wmetafile2.h"

namespace kestro {

namespace {

const char* const PictureFilters = "Bitmap format  (*.bmp);;JPEG format (*.jpg);;Windows MetaFile format "
                                   "(*.emf);;PNG format (*.png);;POV-Ray scene (*.pov)";
const char* const BitmapFilter = "Bitmap format  (*.bmp)";
const char* const JpegFilter = "JPEG format (*.jpg)";
const char* const MetafileFilter = "Windows MetaFile format (*.emf)";
const char* const PngFilter = "PNG format (*.png)";
const char* const PovrayFilter = "POV-Ray scene (*.pov)";

} // namespace

// ---- files --------------------------------------------------------------------

QString Tfdessin::ask_save_name(const QString& filters, QString& selected)
{
    if (choose_save_file) return choose_save_file(filters, selected);
    // The overwrite question is the window's own.
    return QFileDialog::getSaveFileName(this, QString(), QString(), filters, &selected,
                                        QFileDialog::DontConfirmOverwrite);
}

void Tfdessin::enregistrer()
{
    // The labelling panel closes as its own "Close" button does.
    if (interaction_->parts.labelling_tools) close_labelling();
    export_menu_->popup(frameGeometry().topLeft() + QPoint(5, 50));
}

void Tfdessin::export_picture(PictureFormat format)
{
    const char* filter = BitmapFilter;
    const char* extension = ".bmp";
    if (format == PictureFormat::Jpeg) {
        filter = JpegFilter;
        extension = ".jpg";
    } else if (format == PictureFormat::Png) {
        filter = PngFilter;
        extension = ".png";
    }
    QString selected = QString::fromLatin1(filter);
    const QString chosen = ask_save_name(QString::fromLatin1(PictureFilters), selected);
    // The metafile entry leads to the metafile window, which writes its own files.
    if (selected == QLatin1String(MetafileFilter)) {
        WindowsMetaFilewmf1Click();
        return;
    }
    if (selected == QLatin1String(PovrayFilter)) {
        save_povray_scene(chosen);
        return;
    }
    if (chosen.isEmpty()) return;
    const std::string path = with_default_extension(ss(chosen), extension);
    write_after_confirmation(path, *messages_, [&] { write_picture_file(format, path); });
}

void Tfdessin::write_picture_file(PictureFormat format, const std::string& path)
{
    BusyScope busy(*messages_);
    // The picture as displayed, pick marks and mean-plane labels included:
    // nothing is drawn again for it.
    if (image_.isNull()) draw();
    QImage shown = image_;
    shown.setDevicePixelRatio(1);
    write_raster_picture(shown, path, format);
}

void Tfdessin::export_povray_scene()
{
    QString selected = QString::fromLatin1(PovrayFilter);
    save_povray_scene(ask_save_name(QString::fromLatin1(PovrayFilter), selected));
}

void Tfdessin::save_povray_scene(const QString& chosen)
{
    if (chosen.isEmpty()) return;
    const std::string path = with_default_extension(ss(chosen), ".pov");
    write_after_confirmation(path, *messages_, [&] {
        BusyScope busy(*messages_);
        write_file_atomically(path, povray_scene(model_, *state_, side_));
    });
}

void Tfdessin::ASCIIfilekes1Click()
{
    if (interaction_->parts.labelling_tools) close_labelling();
    QString selected = QStringLiteral("Export ASCII file (*.kes)");
    const QString chosen = ask_save_name(QStringLiteral("Export binary file (*.kst);;Export ASCII file (*.kes)"), selected);
    if (chosen.isEmpty()) return;
    save_ascii_structure(model_, ss(chosen), *messages_);
}

// ---- printing and metafiles ------------------------------------------------------

int Tfdessin::scale_slider_position() const { return scale_slider_->value(); }

void Tfdessin::imprime_dessin()
{
    if (interaction_->parts.labelling_tools) close_labelling();
    Tfimprime* window = printing_window();
    window->show();
    window->raise();
}

Tfimprime* Tfdessin::printing_window()
{
    if (!imprime_) imprime_ = new Tfimprime(model_, *this, messages_, this);
    return imprime_;
}

void Tfdessin::WindowsMetaFilewmf1Click()
{
    Tfwmetafile2* window = metafile_window();
    window->show();
    window->raise();
}

Tfwmetafile2* Tfdessin::metafile_window()
{
    if (!metafile_) metafile_ = new Tfwmetafile2(model_, *this, messages_, this);
    return metafile_;
}

void Tfdessin::print_screen()
{
    // The whole window as it stands, landscape, scaled to the page, on the
    // default printer (CUPS's default destination) without a dialog; only
    // when there is none is a printer asked for.
    const QPixmap shot = grab();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    const bool confirmed = choose_screen_printer ? choose_screen_printer(printer) : [&] {
        const QPrinterInfo default_printer = QPrinterInfo::defaultPrinter();
        if (!default_printer.isNull()) {
            printer.setPrinterName(default_printer.printerName());
            return true;
        }
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!confirmed) return;
    BusyScope busy(*messages_);
    QPainter painter;
    if (!painter.begin(&printer)) {
        messages_->show("The printer could not be used");
        return;
    }
    const QRect page = painter.viewport();
    const QSize size = shot.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(page.topLeft(), size), shot);
    painter.end();
}

} // namespace kestro
