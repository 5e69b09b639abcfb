// What runs first: the About window, which later hands over to the main window.
#pragma once

void startUp();
// Or, asked for at start, the window that lists every solution, at once.
void startWithEverySolution();
