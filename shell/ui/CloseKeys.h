#pragma once

class QWidget;

// Escape and Ctrl+W (the platform's Close key) close the window.
void addCloseKeys(QWidget& window);
