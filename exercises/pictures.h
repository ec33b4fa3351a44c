#pragma once
// The pictures of the exercise window. The installed icons are used when the
// program carries them (":/icons/<name>.svg"); otherwise simple drawings of
// the same size take their place (none for the decorations).
#include <QPixmap>

namespace exo
{

enum class Picture {
    StarLit,   // a lit difficulty level
    StarDark,  // an unlit one
    Open,      // "Ouvrir l'exercice sélectionné"
    Close,     // "Fermer sans charger d'exercice"
    Hourglass, // the waiting notice
    DecorSpectrum,
    DecorFlask,
};

// The icon's resource name, e.g. ":/icons/etoile_allumee.svg".
QString pictureResource(Picture p);
QPixmap picture(Picture p, int size);

} // namespace exo
