#include "mainwindow/reprise.h"

#include "common/picturebox.h"
#include "common/updown.h"
#include "mainwindow/feuillep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>

namespace
{
std::vector<RepriseCapture> &captures()
{
    static std::vector<RepriseCapture> list;
    return list;
}
} // namespace

void addRepriseCapture(const RepriseCapture &capture)
{
    captures().push_back(capture);
}

Reprise captureReprise(const FeuilleP &w)
{
    const Controls &c = w.c;
    Reprise r;
    r.solution = c.Combo1->currentIndex();
    r.conc = c.Text1->text();
    r.ph = c.Text2->text();
    r.lambda = c.HScroll1->value();
    r.cuve = c.UpDown1->value();
    r.limite = c.UpDown2->value();
    r.concentrationGraph = c.Option1[1]->isChecked();
    r.superpose = c.Check1->isChecked();
    const graph::Graph &g = *w.graph;
    r.store = g.store;
    r.absmax = g.absmax;
    r.absaxe = g.absaxe;
    r.absmaxprec = g.absmaxprec;
    r.absaxeprec = g.absaxeprec;
    r.deleteEnabled = c.Command6->isEnabled();
    r.onglet = w.onglet;
    const QTextDocument *doc = c.supertext->document();
    r.textHtml = doc->toHtml();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            const QVariant img = doc->resource(QTextDocument::ImageResource, QUrl(name));
            if (img.isValid())
                r.textImages.insert(name, img);
        }
    }
    r.textReadOnly = c.supertext->isReadOnly();
    r.fich = c.fich->text();
    r.cheminexo = w.cheminexo;
    r.nomfichier = w.nomfichier;
    r.title = w.windowTitle();
    r.info = c.info->text();
    r.corrige = w.corrige;
    r.textemodif = w.textemodif;
    if (w.appareil)
        r.appareil = w.appareil->state();
    for (const RepriseCapture &capture : captures()) {
        if (auto restore = capture(w))
            r.extras.push_back(std::move(restore));
    }
    return r;
}

void restoreReprise(FeuilleP &w, const Reprise &r)
{
    Controls &c = w.c;
    graph::Graph &g = *w.graph;
    if (r.appareil && w.appareil)
        w.appareil->restore(*r.appareil);
    for (const auto &restore : r.extras)
        restore(w);
    // The settings, through their controls so that the readout follows.
    c.Text1->setText(r.conc);
    c.Text2->setText(r.ph);
    c.Combo1->setCurrentIndex(r.solution);
    c.UpDown1->setValue(r.cuve);
    c.UpDown2->setValue(r.limite);
    g.choixutil = false;
    c.Option1[r.concentrationGraph ? 1 : 0]->setChecked(true);
    c.Check1->setChecked(r.superpose);
    c.HScroll1->setValue(r.lambda);
    w.chargespectre();

    // The curves on the scale they had: a zero concentration keeps absmax,
    // as the delete button does.
    g.store = r.store;
    g.absmax = r.absmax;
    g.absaxe = r.absaxe;
    c.Text1->setText(QStringLiteral("0"));
    // The axes alone, then every curve once, then what lies over them: on
    // its own echGraph would draw the curves and the overlay a first time.
    const int last = g.store.dercourbe;
    g.store.dercourbe = -1;
    g.echGraph();
    g.store.dercourbe = last;
    if (last >= 0)
        g.retracage(0);
    c.Text1->setText(r.conc);
    g.absmaxprec = r.absmaxprec;
    g.absaxeprec = r.absaxeprec;
    c.Command6->setEnabled(r.deleteEnabled);
    w.majafficheur();
    g.rapport();
    w.setOnglet(r.onglet);

    // The exercise text, then what says where it comes from.
    QTextDocument *doc = c.supertext->document();
    {
        const QSignalBlocker block(c.supertext);
        for (auto it = r.textImages.cbegin(); it != r.textImages.cend(); ++it)
            doc->addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
        doc->setHtml(r.textHtml);
        c.supertext->setReadOnly(r.textReadOnly);
    }
    c.fich->setText(r.fich);
    w.cheminexo = r.cheminexo;
    w.nomfichier = r.nomfichier;
    w.corrige = r.corrige;
    w.textemodif = r.textemodif;
    w.setWindowTitle(r.title);
    c.info->setText(r.info);
}
