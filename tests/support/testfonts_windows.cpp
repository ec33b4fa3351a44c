// Under Wine's offscreen platform Qt reads its fonts from one folder
// (QT_QPA_FONTDIR, set by scripts/build-windows.sh) and knows no aliases: the
// fonts the program asks for are played by the ones fontconfig gives on
// Linux, so that the tests measure the same texts.
#include <QCoreApplication>
#include <QFont>

namespace
{

void substituteFonts()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    for (const char *family : {"Sans Serif", "Helvetica", "MS Sans Serif", "MS Shell Dlg 2"})
        QFont::insertSubstitution(QString::fromLatin1(family), QStringLiteral("DejaVu Sans"));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(substituteFonts)
