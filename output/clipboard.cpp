#include "output/clipboard.h"

#include "common/feuille.h"
#include "common/picturebox.h"
#include "graph/graph.h"
#include "output/export.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTextDocument>
#include <QTextEdit>

#ifdef SPECTRO_HAVE_RTF
#include "common/rtf.h"
#endif

namespace output
{

std::function<void(QMenu &, Feuille &)> extraCopyItems;

namespace
{

void putOnClipboard(QMimeData *data)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        delete data;
        return;
    }
    clipboard->clear();
    clipboard->setMimeData(data);
}

void copyPicture(PictureBox *box)
{
    auto *data = new QMimeData;
    if (box)
        data->setImageData(box->surface().image());
    putOnClipboard(data);
}

} // namespace

void cop001(Feuille &f)
{
    copyPicture(f.c.schema);
}

void cop003(Feuille &f)
{
    PictureBox *schema = f.c.schema;
    if (!schema) {
        putOnClipboard(new QMimeData);
        return;
    }
    // The schematic is drawn again on white for the copy, then as it was.
    schema->surface().clearPicture();
    f.deschema(0);
    f.majafficheur();
    copyPicture(schema);
    f.deschema(1);
    f.majafficheur();
    schema->refresh();
}

void Cop002(Feuille &f)
{
    copyPicture(f.c.graphik);
}

void copileg(Feuille &f)
{
    QTextDocument empty;
    const QTextDocument *doc = f.c.Rappo ? f.c.Rappo->document() : &empty;
    auto *data = new QMimeData;
#ifdef SPECTRO_HAVE_RTF
    const QByteArray rtfText = rtf::write(*doc);
    data->setData(QStringLiteral("text/rtf"), rtfText);
    data->setData(QStringLiteral("application/rtf"), rtfText);
#endif
    data->setHtml(doc->toHtml());
    data->setText(doc->toPlainText());
    putOnClipboard(data);
}

void popupCopyMenu(Feuille &f, const graph::CurveStore &, QPoint globalPos)
{
    QMenu menucop(f.window());
    menucop.setObjectName(QStringLiteral("menucop"));
    const struct {
        const char *name;
        const char *caption;
        void (*routine)(Feuille &);
    } items[] = {
        {"cop001", "Copier le sch\u00e9ma avec le fond", cop001},
        {"cop003", "Copier le sch\u00e9ma sans le fond", cop003},
        {nullptr, nullptr, nullptr},
        {"Cop002", "Copier le graphe", Cop002},
        {"copileg", "Copier la l\u00e9gende", copileg},
    };
    for (const auto &item : items) {
        if (!item.name) {
            menucop.addSeparator();
            continue;
        }
        QAction *action = menucop.addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        const auto routine = item.routine;
        QObject::connect(action, &QAction::triggered, &menucop, [&f, routine] { routine(f); });
    }
    // The exports open their file dialogs once the menu has closed.
    graph::Graph *g = f.window() ? f.window()->findChild<graph::Graph *>() : nullptr;
    void (*exportRoutine)(Feuille &, graph::Graph &) = nullptr;
    menucop.addSeparator();
    const struct {
        const char *name;
        const char *caption;
        void (*routine)(Feuille &, graph::Graph &);
    } exports[] = {
        {"exportcsv", "Exporter les courbes (CSV)...", exporterCourbes},
        {"exportgraphe", "Exporter le graphe (PNG, SVG)...", exporterGraphe},
    };
    for (const auto &item : exports) {
        QAction *action = menucop.addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setEnabled(g != nullptr);
        const auto routine = item.routine;
        QObject::connect(action, &QAction::triggered, &menucop,
                         [&exportRoutine, routine] { exportRoutine = routine; });
    }
    if (extraCopyItems)
        extraCopyItems(menucop, f);
    menucop.exec(globalPos);
    if (f.c.info)
        f.c.info->setText(f.msgcopie);
    if (exportRoutine && g)
        exportRoutine(f, *g);
}

} // namespace output
