// "kestro render" run as a user runs it, on every structure we have: the
// bundled files as stored and generated, and every structure of the shared
// test data (built from its expectation file and saved as .kes).
#include <QtTest>

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>

#include "crystal/oemath.h"
#include "formats/kes.h"
#include "recording_messages.h"
#ifdef KESTRO_HAVE_JSON
#include "expected_model.h"
#endif

namespace {

struct Run {
    int status = -1;
    QString errors;
};

Run render(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KESTRO_EXECUTABLE), QStringList{"render"} + arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A picture with a drawing in it: the right size, and more than the
// background and one other colour.
bool is_drawing(const QString& file, int size)
{
    const QImage image(file);
    if (image.isNull() || image.width() != size || image.height() != size) return false;
    QSet<QRgb> colours;
    for (int y = 0; y < size && colours.size() < 3; y += 2)
        for (int x = 0; x < size; x += 2) colours.insert(image.pixel(x, y));
    return colours.size() >= 3;
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT
private slots:
    // golden.kes holds generated atoms (drawn as stored), rutile.kes only
    // its asymmetric unit (plotted from its selected positions).
    void bundled_structures_as_stored_and_generated()
    {
        QTemporaryDir dir;
        const QStringList files = {KESTRO_TEST_DATA_DIR "/golden.kes", KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes"};
        for (const QString& file : files) {
            const QString out = dir.filePath(QFileInfo(file).baseName() + ".png");
            Run run = render({file, "-o", out, "--size", "300"});
            QVERIFY2(run.status == 0, qPrintable(file + ": " + run.errors));
            QVERIFY2(is_drawing(out, 300), qPrintable(out));
            const QString cell = dir.filePath(QFileInfo(file).baseName() + "-cell.png");
            run = render({file, "-o", cell, "--enclosure", "cell", "--labels", "centre", "--cell", "--axes",
                          "--view", "best", "--gradation"});
            QVERIFY2(run.status == 0, qPrintable(file + ": " + run.errors));
            QVERIFY2(is_drawing(cell, 686), qPrintable(cell));
        }
    }

    void every_shared_structure()
    {
#ifndef KESTRO_HAVE_JSON
        QSKIP("nlohmann_json not available");
#else
        const std::filesystem::path expected = std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "expected";
        if (!std::filesystem::is_directory(expected)) QSKIP("no shared test data");
        // KESTRO_RENDER_OUTPUT=DIR keeps the pictures there for a look.
        QTemporaryDir temporary;
        const QDir dir(qEnvironmentVariableIsSet("KESTRO_RENDER_OUTPUT") ? qEnvironmentVariable("KESTRO_RENDER_OUTPUT")
                                                                          : temporary.path());
        int rendered = 0;
        QStringList failures;
        for (const auto& entry : std::filesystem::directory_iterator(expected)) {
            if (entry.path().extension() != ".json") continue;
            const nlohmann::json j = nlohmann::json::parse(std::ifstream(entry.path()));
            if (!j.contains("full_ops") || j["full_ops"].empty() || !j.contains("atoms") ||
                j["atoms"].empty() || j["atoms"].size() > kestro::MaxAsymAtoms)
                continue;
            auto model = kestro_test::model_of(j);
            RecordingMessages messages;
            if (!kestro::cell_metric(*model, messages)) {
                failures << QString::fromStdString(entry.path().filename().string()) + ": cell refused";
                continue;
            }
            const std::string stem = entry.path().stem().string();
            model->current_file = dir.filePath(QString::fromStdString(stem) + ".kes").toStdString();
            kestro::write_ascii_structure(*model);
            const QString out = dir.filePath(QString::fromStdString(stem) + ".png");
            const Run run = render({QString::fromStdString(model->current_file), "-o", out, "--positions", "all",
                                    "--size", "343", "--labels", "centre"});
            // A structure whose positions overflow the generated atoms is a
            // failure with no picture, never a picture of a part of it.
            const bool cut = run.status == 1 && run.errors.contains("Too many generated atoms") && !QFile::exists(out);
            if (cut) continue;
            if (run.status != 0 || !is_drawing(out, 343))
                failures << QString::fromStdString(stem) + ": " + run.errors;
            else
                ++rendered;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
        QVERIFY(rendered > 40);
        qInfo("%d structures rendered", rendered);
#endif
    }

    void every_picture_format()
    {
        QTemporaryDir dir;
        const QString file = KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes";
        for (const char* extension : {"png", "jpg", "bmp", "svg", "pdf"}) {
            const QString out = dir.filePath(QStringLiteral("rutile.") + extension);
            const Run run = render({file, "-o", out, "--enclosure", "cell", "--size", "200"});
            QVERIFY2(run.status == 0, qPrintable(out + ": " + run.errors));
            QVERIFY2(QFileInfo(out).size() > 100, qPrintable(out));
        }
        QFile jpeg(dir.filePath("rutile.jpg"));
        QVERIFY(jpeg.open(QIODevice::ReadOnly));
        QVERIFY(jpeg.read(2) == QByteArray("\xFF\xD8", 2));
        QVERIFY(is_drawing(dir.filePath("rutile.bmp"), 200));
        QFile svg(dir.filePath("rutile.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }

    void refusals()
    {
        QTemporaryDir dir;
        const QString file = KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes";
        const QString out = dir.filePath("x.png");
        QCOMPARE(render({file, "-o", dir.filePath("x.gif")}).status, 2);
        QCOMPARE(render({file, "-o", out, "--probability", "55"}).status, 2);
        QCOMPARE(render({file, "-o", out, "--view", "sideways"}).status, 2);
        QCOMPARE(render({file, "-o", out, "--planes", "--axes"}).status, 2);
        // An existing file is kept unless --yes.
        QFile existing(out);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep");
        existing.close();
        const Run refused = render({file, "-o", out});
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.errors.contains("This file already exists. Do you want to continue?"));
        QCOMPARE(QFileInfo(out).size(), 4);
        QCOMPARE(render({file, "-o", out, "--yes"}).status, 0);
        QVERIFY(is_drawing(out, 686));
        // A structure without atoms says so.
        RecordingMessages messages;
        auto model = std::make_unique<kestro::StructureModel>();
        model->cell = {};
        model->cell.a = model->cell.b = model->cell.c = 5;
        model->cell.alpha = model->cell.beta = model->cell.gamma = 90;
        kestro::cell_metric(*model, messages);
        model->current_file = dir.filePath("empty.kes").toStdString();
        kestro::write_ascii_structure(*model);
        const Run nothing = render({dir.filePath("empty.kes"), "-o", dir.filePath("e.png")});
        QCOMPARE(nothing.status, 1);
        QVERIFY(nothing.errors.contains("No coordinates!"));
    }
};

QTEST_GUILESS_MAIN(TestRender)
#include "test_render.moc"
