#include "ui/enclosure_parts.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace kestro {

CentrePanel make_centre_panel(QWidget* parent)
{
    CentrePanel panel;
    panel.atoms = new QListWidget(parent);
    QFont fixed(QStringLiteral("Courier New"), 8);
    fixed.setStyleHint(QFont::Monospace);
    panel.atoms->setFont(fixed);
    panel.atoms->setMinimumWidth(220);
    panel.fields = new QGridLayout;
    const std::array<QString, 3> names{QStringLiteral("x/a"), QStringLiteral("y/b"), QStringLiteral("z/c")};
    for (std::size_t i = 0; i < 3; ++i) {
        panel.centre[i] = new QLineEdit(parent);
        panel.fields->addWidget(new QLabel(names[i], parent), static_cast<int>(i), 0);
        panel.fields->addWidget(panel.centre[i], static_cast<int>(i), 1);
    }
    return panel;
}

void add_cut_group(CentrePanel& panel, QWidget* parent, int row)
{
    auto* cut = new QGroupBox(QStringLiteral("Cut the fragments?"), parent);
    panel.yes = new QRadioButton(QStringLiteral("Yes"), cut);
    panel.no = new QRadioButton(QStringLiteral("No"), cut);
    auto* layout = new QHBoxLayout(cut);
    layout->addWidget(panel.yes);
    layout->addWidget(panel.no);
    panel.fields->addWidget(cut, row, 0, 1, 2);
    panel.fields->setRowStretch(row + 1, 1);
}

QHBoxLayout* ok_cancel_row(QWidget* parent, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), parent);
    cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}

QLabel* red_heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: red;"));
    return label;
}

} // namespace kestro
