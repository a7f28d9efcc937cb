// The tool's subcommands; each takes the arguments after its own name and
// returns the process exit code.
#pragma once

int i_RunTour(int argc, char** argv);
int i_RunWordlist(int argc, char** argv);
int i_RunRecords(int argc, char** argv);
int i_RunIni(int argc, char** argv);
int i_RunLocale(int argc, char** argv);
int i_RunRegistry(int argc, char** argv);
int i_RunCalendar(int argc, char** argv);
int i_RunTime(int argc, char** argv);
