#pragma once
// Installs the program's answers to the lower floors' calls upward.
void InstallUpcalls();
