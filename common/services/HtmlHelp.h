// The help file name and the display of one help topic.
#pragma once

#include "CommonTypes.h"

#include <functional>

class QWidget;

void SetHelpName(const CString& name);
CString GetHelpName();

// Shows a topic of the help file; returns the topic text "<help file>::/<topic>".
CString ShowHtmlHelp(QWidget* window, const CString& topic);

// The program installs the window that displays topics; without one a topic is only composed.
using HelpViewer = std::function<void(QWidget* window, const CString& helpFile, const CString& topic)>;
void SetHelpViewer(HelpViewer viewer);
