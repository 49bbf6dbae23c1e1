/*
===============================================================================

	Disc writes on the host.

	The console's disc cannot be written. On the host, when the disc write
	folder is set (ENGINE_DISC_WRITE), start-up gives the engine's file
	calls the disc library's host writes, so that files the game writes
	(demos) land in that folder and are read back from it in a later run.
	Without the setting nothing is installed and the console's behaviour
	stays.

===============================================================================
*/
#ifndef EI_DISC_WRITE_H
#define EI_DISC_WRITE_H

// Installs the write hook when the write folder is set, and removes it
// otherwise. True when installed.
bool	EIInstallDiscWriteHook();

#endif
