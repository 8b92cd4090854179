#pragma once
// Starting the outside transfer tool KeloFtp from the program folder. It is told what to do
// by command files (get.txt, put.txt) and answers with files the sync timer applies.
#include <QString>

// Program-wide: a full synchronisation was asked for; the timer starts the follow-up run once
// the tool has ended.
extern bool SyncRequested;

// "\useinifile \cmdfile=" + "get.txt;" (if get) + "put.txt;" (if put); empty when neither.
QString FtpTransferParameters(bool get, bool put);
// Starts the tool with those parameters, shown normally; nothing when both are off.
// The start result is not reported (a missing tool shows nothing: its results never appear).
void StartFtpTransfer(bool get, bool put);
// The tool's executable in the program folder.
QString FtpToolFileName();
