#include "gui/app/WizardApplication.h"

int main(int argc, char** argv) { return orvanta::WizardApplication::Run(argc, argv); }
