#include "platform/page_printer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

#include <filesystem>
#include <system_error>

#include "model/errors.h"
#include "platform/painter_canvas.h"
#include "platform/qt_text.h"

namespace kestro {

void prepare_printer(QPrinter& printer, double dots_per_inch)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setResolution(static_cast<int>(std::lround(dots_per_inch)));
}

bool paint_page(QPrinter& printer, double dots_per_inch, const std::function<void(Canvas&)>& draw)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    PainterCanvas canvas(painter, printer.width(), printer.height(), true, dots_per_inch);
    draw(canvas);
    return painter.end();
}

void print_page_to_pdf(const std::string& path, PaperSize paper, double dots_per_inch,
                       const std::function<void(Canvas&)>& draw)
{
    const std::filesystem::path target(path);
    const std::filesystem::path temporary = target.parent_path() / ("." + target.filename().string() + ".kestro-tmp");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(qs(temporary.string()));
        printer.setPageSize(QPageSize(paper == PaperSize::A4 ? QPageSize::A4 : QPageSize::Letter));
        // A file has no unprintable edge: the page starts at the paper's corner.
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        prepare_printer(printer, dots_per_inch);
        if (!paint_page(printer, dots_per_inch, draw)) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw IoError("Cannot write " + path);
        }
    }
    std::error_code error;
    if (!std::filesystem::exists(temporary, error)) throw IoError("Cannot write " + path);
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw IoError("Cannot write " + path);
    }
}

} // namespace kestro
