// The main window's desktop habits: a structure file dropped on it, and the
// standard shortcuts beside the menus' own keys.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QUrl>

#include "formats/structure_files.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"
#include "ui/mainmenu.h"

namespace kestro {

void Tfmainmenu::open_structure_file(std::string name)
{
    // The reader of each format takes the pending name instead of asking.
    model_.pending_file_name = name;
    switch (format_of(name)) {
    case StructureFormat::Kestro: lit_en_ascii(); break;
    case StructureFormat::ShelxInstructions:
    case StructureFormat::ShelxListing: shelx_input_file(); break;
    case StructureFormat::LazyPulverix: LazyPulverixfile1Click(); break;
    case StructureFormat::PowderCell: open_powdercel(); break;
    case StructureFormat::Cif: CIFfile1Click(); break;
    case StructureFormat::Unknown:
        model_.pending_file_name.clear();
        messages_->beep();
        messages_->show(unreadable_file_message(name));
        break;
    }
}

namespace {
// The one local file a drag carries, or an empty string.
QString dragged_file(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
} // namespace

void Tfmainmenu::dragEnterEvent(QDragEnterEvent* event)
{
    if (!dragged_file(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Tfmainmenu::dropEvent(QDropEvent* event)
{
    const QString file = dragged_file(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    open_structure_file(ss(file));
}

void Tfmainmenu::add_standard_shortcuts(QAction* save, QAction* exit, QAction* help)
{
    setAcceptDrops(true);
    save->setShortcut(QKeySequence::Save);
    exit->setShortcut(QKeySequence::Quit);
    help->setShortcut(QKeySequence::HelpContents);
    // Keys without a menu entry of their own.
    QAction* open = new QAction(this);
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &Tfmainmenu::open_any_structure);
    addAction(open);
    QAction* print = new QAction(this);
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] {
        if (dessin_ && dessin_->isVisible()) dessin_->imprime_dessin();
        else messages_->beep();
    });
    addAction(print);
}

} // namespace kestro
