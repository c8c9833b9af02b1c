// Fonts the program ships: the resource "FIXEDSYS-TTF" is a free monospace font
// (DejaVu Sans Mono) built into the program, installed for this process only the
// first time it is asked for. The face names "FixedSys" and "Fixedsys" of settings
// files mean this shipped font, never the desktop's "monospace", which differs from
// machine to machine: every machine shows the same cells.
#pragma once

#include <QFont>
#include <QString>
#include <optional>
#include <string>

namespace narvo {

// The font of face FaceName after installing the font resource ResourceName (its
// name matched without case). Empty when the resource holds under 15 bytes or
// cannot be installed; an unknown resource throws std::runtime_error "Resource
// <name> not found". NumericType is accepted for the callers' sake; every resource
// here is of one kind. A face the resource does not hold gives the resource's face.
std::optional<QFont> LoadResourceFont(const std::string& ResourceName, const std::string& FaceName,
                                      bool NumericType);

// FaceName, except that "FixedSys" (any case) gives the shipped font's family.
QString ResolveFaceName(const QString& FaceName);

// The shipped fixed-pitch font ("FixedSys") at the application's point size.
QFont FixedSysFont();

}  // namespace narvo
