#include "common/zoomchooser.h"

#include "common/zoom.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace zoom
{

QWidget *chooser(QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("&Taille de l'affichage :"), box);
    auto *list = new QComboBox(box);
    for (int z : kSteps)
        list->addItem(label(z), z);
    const int at = list->findData(current());
    if (at >= 0)
        list->setCurrentIndex(at);
    else
        list->insertItem(0, label(current()), current());
    list->setCurrentIndex(list->findData(current()));
    list->setAccessibleName(QStringLiteral("Taille de l'affichage"));
    list->setToolTip(QStringLiteral("Agrandir tout le programme pour un vidéoprojecteur "
                                    "(Ctrl++, Ctrl+-, Ctrl+0 dans la fenêtre principale)"));
    caption->setBuddy(list);
    row->addWidget(caption);
    row->addWidget(list);
    QObject::connect(list, &QComboBox::activated, list,
                     [list](int i) { request(list->itemData(i).toInt()); });
    return box;
}

} // namespace zoom
