#pragma once
// A stand-in for the main window built from real widgets, counting the
// routines the configuration code calls, and a recorder for message boxes.
#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/updown.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>

inline void ensureApplication()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_configfile";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv); // lives until the process ends
    }
}

// The eight controls a configuration file covers.
struct Settings {
    bool option0 = true;
    bool option1 = false;
    bool check = false;
    QString ph = QStringLiteral("7,0");
    int lambda = 589;
    int thickness = 2;
    int solution = 0;
    QString concentration = QStringLiteral("0,001");

    bool operator==(const Settings &o) const
    {
        return option0 == o.option0 && option1 == o.option1 && check == o.check && ph == o.ph &&
               lambda == o.lambda && thickness == o.thickness && solution == o.solution &&
               concentration == o.concentration;
    }
};

inline void PrintTo(const Settings &s, std::ostream *os)
{
    *os << "{" << s.option0 << "," << s.option1 << "," << s.check << ",\"" << s.ph.toStdString()
        << "\"," << s.lambda << "," << s.thickness << "," << s.solution << ",\""
        << s.concentration.toStdString() << "\"}";
}

class FakeFeuille : public Feuille
{
public:
    FakeFeuille()
    {
        ensureApplication();
        m_host = std::make_unique<QWidget>();
        c.Combo1 = new QComboBox(m_host.get());
        for (int i = 1; i <= 14; ++i)
            c.Combo1->addItem(QStringLiteral("Solution %1").arg(i));
        c.Text1 = new QLineEdit(m_host.get());
        c.Text2 = new QLineEdit(m_host.get());
        c.HScroll1 = new QScrollBar(Qt::Horizontal, m_host.get());
        c.HScroll1->setRange(400, 800);
        c.UpDown1 = new UpDown(m_host.get());
        c.UpDown1->setRange(1, 3);
        c.Option1[0] = new QRadioButton(m_host.get());
        c.Option1[1] = new QRadioButton(m_host.get());
        c.Check1 = new QCheckBox(m_host.get());
        apply(Settings{});
    }

    void apply(const Settings &s)
    {
        c.Option1[0]->setChecked(s.option0);
        c.Option1[1]->setChecked(s.option1);
        c.Check1->setChecked(s.check);
        c.Text2->setText(s.ph);
        c.HScroll1->setValue(s.lambda);
        c.UpDown1->setValue(s.thickness);
        c.Combo1->setCurrentIndex(s.solution);
        c.Text1->setText(s.concentration);
    }

    Settings settings() const
    {
        return {c.Option1[0]->isChecked(), c.Option1[1]->isChecked(),
                c.Check1->isChecked(),     c.Text2->text(),
                c.HScroll1->value(),       c.UpDown1->value(),
                c.Combo1->currentIndex(),  c.Text1->text()};
    }

    QWidget *window() override { return m_host.get(); }
    void majafficheur() override
    {
        ++majafficheurCalls;
        events << QStringLiteral("majafficheur");
        if (onMajafficheur)
            onMajafficheur();
    }
    void Text1_LostFocus() override {}
    void Command3_Click() override
    {
        ++clearCalls;
        events << QStringLiteral("Command3_Click");
    }
    void deschema(int) override {}
    void ecrireIntroduction() override {}
    void setCaption(const QString &caption) override
    {
        captions << caption;
        events << QStringLiteral("setCaption");
    }
    float absorbance() const override { return 0.0f; }

    int majafficheurCalls = 0;
    int clearCalls = 0;
    QStringList captions;
    QStringList events; // calls of the routines above, in order
    std::function<void()> onMajafficheur;

private:
    std::unique_ptr<QWidget> m_host;
};

// Records every message box and answers them with a fixed button.
class MessageRecorder
{
public:
    explicit MessageRecorder(msgbox::Answer answer = msgbox::Answer::Ok)
    {
        msgbox::handler = [this, answer](const msgbox::Call &call) {
            calls.push_back(call);
            return answer;
        };
    }
    ~MessageRecorder() { msgbox::handler = nullptr; }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList texts() const
    {
        QStringList out;
        for (const msgbox::Call &c : calls)
            out << c.text;
        return out;
    }

    std::vector<msgbox::Call> calls;
};
