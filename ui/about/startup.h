// What runs first: the About window, which later hands over to the main window.
#pragma once

void startUp();
