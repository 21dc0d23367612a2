#include "gui/app/CWizardApp.h"

int main(int argc, char** argv) { return orvanta::CWizardApp::Run(argc, argv); }
