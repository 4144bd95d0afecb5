#pragma once

class DlgMain;
class QSettings;

// The main window's place, size and maximised state and the schedule's view type and
// resolution, kept between runs in the user's settings, never in the data files.
namespace WindowState {

void Save(const DlgMain& window, QSettings& settings);
// A saved place that lies on no screen is not used: the window keeps its centred place.
void Restore(DlgMain& window, QSettings& settings);

} // namespace WindowState
