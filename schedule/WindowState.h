#pragma once

#include "ui/WindowPlace.h"

class DlgMain;
class QSettings;

// The places, sizes and maximised states of the main window and the print preview, and the
// schedule's view type and resolution, kept between runs in the user's settings, never in
// the data files.
namespace WindowState {

void Save(const DlgMain& window, QSettings& settings);
void Restore(DlgMain& window, QSettings& settings);

} // namespace WindowState
