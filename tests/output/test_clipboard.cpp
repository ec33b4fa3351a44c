// The copy menu and its four items, read back from the application clipboard.
#include "fakefeuille.h"

#include "output/clipboard.h"
#include "output/report.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#ifdef SPECTRO_HAVE_RTF
#include "common/rtf.h"
#endif

namespace
{

QImage clipboardImage()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return QImage();
    return qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
}

QImage screenImage(PictureBox *box)
{
    return box->surface().image().convertToFormat(QImage::Format_RGB32);
}

class Clipboard : public testing::Test
{
protected:
    FakeFeuille f;
    graph::CurveStore store;

    void SetUp() override { QGuiApplication::clipboard()->setText(QStringLiteral("avant")); }
};

using Box = PictureBox *Controls::*;

struct PictureCase {
    const char *name;
    void (*routine)(Feuille &);
    Box box;
};

class CopyPicture : public Clipboard, public testing::WithParamInterface<PictureCase>
{
};

TEST_P(CopyPicture, PutsTheWholeImageAlone)
{
    PictureBox *box = f.c.*GetParam().box;
    const QImage shown = screenImage(box);
    GetParam().routine(f);
    EXPECT_EQ(clipboardImage(), shown);
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasText());
}

const PictureCase kPictures[] = {
    {"cop001", output::cop001, &Controls::schema},
    {"Cop002", output::Cop002, &Controls::graphik},
};

INSTANTIATE_TEST_SUITE_P(Items, CopyPicture, testing::ValuesIn(kPictures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Clipboard, SchematicWithoutBackgroundCopiesOnWhiteAndRestoresTheScreen)
{
    Surface &s = f.c.schema->surface();
    const QImage before = screenImage(f.c.schema);
    ASSERT_EQ(before.pixelColor(2, 2), FakeFeuille::gradient(2));

    output::cop003(f);

    const QImage copied = clipboardImage();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), before.size());
    EXPECT_EQ(copied.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(copied.pixelColor(416, 128), QColor(Qt::white));
    EXPECT_EQ(copied.pixelColor(20, 50), QColor(Qt::black));              // the instrument
    EXPECT_EQ(copied.pixelColor(215, 70), FakeFeuille::solutionColour()); // the readout layer

    EXPECT_EQ(screenImage(f.c.schema), before);
    // The frozen background is the gradient again, not the white one.
    ASSERT_TRUE(s.hasPicture());
    s.cls();
    EXPECT_EQ(s.pixel(2, 2), FakeFeuille::gradient(2));
    EXPECT_EQ(s.pixel(215, 70), FakeFeuille::gradient(70));
}

TEST_F(Clipboard, LegendCopiedAsRichTextHtmlAndPlainText)
{
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty report" : "one curve");
        graph::CurveStore st;
        if (!empty)
            st.curves[st.nextSlot(true)] =
                curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2);
        output::rapport(f.c.Rappo, st, solutionNames(), true);
        output::copileg(f);

        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_FALSE(data->hasImage());
        EXPECT_EQ(data->text(), f.c.Rappo->toPlainText());
        EXPECT_EQ(data->text().isEmpty(), empty);
        ASSERT_TRUE(data->hasHtml());
        QTextDocument fromHtml;
        fromHtml.setHtml(data->html());
        EXPECT_EQ(fromHtml.toPlainText(), f.c.Rappo->toPlainText());
#ifdef SPECTRO_HAVE_RTF
        for (const char *type : {"text/rtf", "application/rtf"}) {
            const QByteArray rtfText = data->data(QString::fromLatin1(type));
            EXPECT_TRUE(rtfText.startsWith("{\\rtf")) << type;
            QTextDocument back;
            ASSERT_TRUE(rtf::read(rtfText, &back)) << type;
            EXPECT_EQ(back.toPlainText().trimmed(), f.c.Rappo->toPlainText().trimmed()) << type;
        }
#endif
    }
}

// Runs the pop-up menu; `act` handles the open menu from inside its loop.
void popup(FakeFeuille &f, const graph::CurveStore &store, std::function<void(QMenu *)> act)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        seen = menu != nullptr;
        if (menu)
            act(menu);
    });
    output::popupCopyMenu(f, store, QPoint(10, 10));
    EXPECT_TRUE(seen);
}

TEST_F(Clipboard, MenuItemsInOrder)
{
    QStringList captions;
    QString name;
    popup(f, store, [&](QMenu *menu) {
        name = menu->objectName();
        for (QAction *a : menu->actions())
            captions << (a->isSeparator() ? QStringLiteral("--")
                                          : a->text() + QLatin1Char('=') + a->objectName());
        menu->close();
    });
    EXPECT_EQ(name, QStringLiteral("menucop"));
    EXPECT_EQ(captions,
              (QStringList{QStringLiteral("Copier le sch\u00e9ma avec le fond=cop001"),
                           QStringLiteral("Copier le sch\u00e9ma sans le fond=cop003"),
                           QStringLiteral("--"), QStringLiteral("Copier le graphe=Cop002"),
                           QStringLiteral("Copier la l\u00e9gende=copileg"), QStringLiteral("--"),
                           QStringLiteral("Exporter les courbes (CSV)...=exportcsv"),
                           QStringLiteral("Exporter le graphe (PNG, SVG)...=exportgraphe")}));
}

TEST_F(Clipboard, ConfirmationShownWhetherAnItemWasChosenOrNot)
{
    struct Case {
        const char *name;
        const char *item; // null: the menu is dismissed
    } cases[] = {{"dismissed", nullptr}, {"graph chosen", "Cop002"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
        f.c.info->setText(QStringLiteral("aide"));
        popup(f, store, [&](QMenu *menu) {
            if (!c.item) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(menu, &esc);
                return;
            }
            QAction *a = menu->findChild<QAction *>(QString::fromLatin1(c.item));
            ASSERT_NE(a, nullptr);
            menu->setActiveAction(a);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        });
        EXPECT_EQ(f.c.info->text(), f.msgcopie);
        if (c.item)
            EXPECT_EQ(clipboardImage(), screenImage(f.c.graphik));
        else
            EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("avant"));
    }
}

} // namespace
