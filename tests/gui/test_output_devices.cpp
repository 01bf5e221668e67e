// The printed page and the metafile on real devices, offscreen: a page of
// rutile printed through QPrinter to PDF by the printing window, and an
// enhanced metafile written by the metafile window, whose header is read
// back.
#include <QtTest>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

#include "crystal/bonds.h"
#include "crystal/generation.h"
#include "crystal/operators.h"
#include "formats/kes.h"
#include "forms/mainmenu.h"
#include "model/file_io.h"
#include "recording_messages.h"
#include "ui/dessin.h"
#include "ui/imprime.h"
#include "ui/wmetafile2.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

// Rutile's cell contents in the drawing window.
struct Fixture {
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    RecordingMessages messages;
    std::unique_ptr<Tfdessin> window;
    QTemporaryDir dir;

    Fixture()
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        if (!load_ascii_structure(*model, KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes", messages)) return;
        OperatorGrid grid;
        fill_operator_grid(*model, grid);
        on_click_checklistbox(*model, grid, messages, 4, true); // "Cell contents"
        if (!generer(*model, messages) || !liaisons(*model, messages)) return;
        window = std::make_unique<Tfdessin>(*model, &messages);
        window->copy_to_clipboard = [](const QImage&) {};
        window->show();
        window->new_picture();
    }
};

// The little-endian 32-bit integer at a byte offset.
quint32 u32(const std::string& bytes, std::size_t at)
{
    quint32 value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

} // namespace

class TestOutputDevices : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("KESTRO_DATA", KESTRO_SOURCE_DATA_DIR); }

    void printing_window_prints_a_landscape_page()
    {
        Fixture f;
        QVERIFY(f.window);
        f.window->imprime_dessin();
        Tfimprime* print = f.window->printing_window();
        QVERIFY(print->isVisible());
        QCOMPARE(print->resolution_field()->text(), QStringLiteral("  300"));
        QCOMPARE(print->pen_list()->currentRow(), 1);
        print->stereo_choice()->button(1)->click();
        QCOMPARE(print->pen_list()->currentRow(), 0);
        print->stereo_choice()->button(0)->click();
        QCOMPARE(print->pen_list()->currentRow(), 0);

        print->resolution_field()->setText(QStringLiteral("3OO"));
        print->go_impression();
        QCOMPARE(f.messages.shown.back(), std::string("read error on Pixels/Cm"));

        const QString pdf = f.dir.filePath("page.pdf");
        print->choose_printer = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::A4));
            return true;
        };
        print->resolution_field()->setText(QStringLiteral("150"));
        print->go_impression();
        QVERIFY(!print->isVisible());
        QCOMPARE(print->pixels_per_cm(), 150 / 2.55);
        const QString text = QString::fromLatin1(QByteArray::fromStdString(read_file_bytes(pdf.toStdString())));
        // A4 across: 842 x 595 points.
        const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(text);
        QVERIFY(box.hasMatch());
        QCOMPARE(qRound(box.captured(1).toDouble()), 842);
        QCOMPARE(qRound(box.captured(2).toDouble()), 595);
    }

    void metafile_window_writes_an_enhanced_metafile()
    {
        Fixture f;
        QVERIFY(f.window);
        f.window->WindowsMetaFilewmf1Click();
        Tfwmetafile2* metafile = f.window->metafile_window();
        QCOMPARE(metafile->width_field()->text(), QStringLiteral("800"));
        QCOMPARE(metafile->pen_field()->text(), QStringLiteral("1"));
        metafile->width_field()->setText(QStringLiteral("6OO"));
        metafile->go_metafile();
        QCOMPARE(f.messages.shown.back(), std::string("'6OO' is not a valid integer value"));

        metafile->width_field()->setText(QStringLiteral("600"));
        QString offered;
        metafile->choose_file = [&](const QString&, QString& selected) {
            offered = selected;
            return f.dir.filePath("rutile");
        };
        metafile->go_metafile();
        QCOMPARE(offered, QStringLiteral("Enhanced Metafiles (*.emf)"));
        const std::string emf = read_file_bytes(f.dir.filePath("rutile.emf").toStdString());
        QVERIFY(emf.size() > 108);
        QCOMPARE(u32(emf, 0), quint32(1));                 // EMR_HEADER
        QCOMPARE(emf.substr(40, 4), std::string(" EMF"));  // its signature
        QCOMPARE(u32(emf, 16), quint32(600));              // bounds: W x W
        QCOMPARE(u32(emf, 20), quint32(600));
        QCOMPARE(u32(emf, 48), quint32(emf.size()));       // the file's size
        QVERIFY(u32(emf, 52) > 10);                        // records
        QCOMPARE(u32(emf, emf.size() - 20), quint32(14));  // EMR_EOF closes it

        // Only Yes replaces it.
        f.messages.answers = {Answer::No};
        metafile->go_metafile();
        QCOMPARE(f.messages.asked.back(), std::string("This file already exists. Do you want to continue?"));
        QCOMPARE(read_file_bytes(f.dir.filePath("rutile.emf").toStdString()), emf);
    }

    void print_screen_prints_the_window()
    {
        Fixture f;
        QVERIFY(f.window);
        const QString pdf = f.dir.filePath("screen.pdf");
        f.window->choose_screen_printer = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        f.window->print_screen();
        const std::string bytes = read_file_bytes(pdf.toStdString());
        QCOMPARE(bytes.substr(0, 5), std::string("%PDF-"));
        QVERIFY(QString::fromLatin1(QByteArray::fromStdString(bytes)).contains(QStringLiteral("/Image")));
    }
};

QTEST_MAIN(TestOutputDevices)
#include "test_output_devices.moc"
