/*
===============================================================================

	What start-up hands the framework.

	The platform entry defines these while it brings the console up; the
	framework reads them and never includes the platform entry itself. The
	OS interface manager the engine controller owns is the platform's own
	class, so start-up installs a creation hook for it before the controller
	is made; without one the controller runs with no such manager.

===============================================================================
*/
#ifndef EF_STARTUP_GLOBALS_H
#define EF_STARTUP_GLOBALS_H

#include "datatypes/base/DTTypes.h"

class EFOsInterfaceMgr;

constexpr u32 EI_CONTROLLER_PORTS = 4;

// 1 for each port whose controller held X+B+START at power-on.
extern u32				gui32ControllerResetDown[EI_CONTROLLER_PORTS];
// Non-zero switches all audio off.
extern u8				gbDisableAudio;

// Upper-cases a..z in place; null does nothing.
void	UpCaseString( char* s );

// Makes the platform's OS interface manager; null when none can be made.
typedef EFOsInterfaceMgr* ( *EFOsInterfaceMgrCreator )();

// Installs the creator the engine controller calls; returns the one it
// replaces. Null removes it.
EFOsInterfaceMgrCreator	EFSetOsInterfaceMgrCreator( EFOsInterfaceMgrCreator creator );

// The creator installed, or null.
EFOsInterfaceMgrCreator	EFGetOsInterfaceMgrCreator();

#endif
