#pragma once

// The tray's part in the main window: its menu runs the window's commands, a click on the icon
// shows or hides the window, a clicked alarm balloon shows the reloaded list, and the icon shows
// the alarms the database holds as running after every fill of the list and every change
// another program makes (the list waits for a hidden window; the tray is on screen).

class TDM;
class TFormMain;
class Tray;

void connectTrayToMainWindow(Tray& tray, TFormMain& window, TDM& dm);
