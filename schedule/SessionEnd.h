#pragma once

class DlgMain;

// Ending from outside (SIGTERM, SIGINT, SIGHUP, the desktop session, a quit of the
// application) closes the main window as Exit does, so the data is written.
void CloseWithSessionEnd(DlgMain& window);
