/*
===============================================================================

	Portable OS interface manager: Initialize and Terminate split into a
	pre- and a post-step, log files, a window title and a message box. The
	constructor publishes the object in gpoOsInterfaceMgr; the destructor
	clears it.

	The virtual operations keep this order: destructor, CreateLogFile,
	ReleaseLogFile, PreInitialize, PostInitialize, PreTerminate,
	PostTerminate, SetApplicationTitle. In this base the steps succeed and
	do nothing, and CreateLogFile makes no log (-1).

===============================================================================
*/
#ifndef EF_OS_INTERFACE_MGR_H
#define EF_OS_INTERFACE_MGR_H

#include "datatypes/base/DTTypes.h"

enum EFAccessMode_e {
	EF_ACCESS_READ	= 0,
	EF_ACCESS_WRITE	= 1,
};

class EFOsInterfaceMgr {
public:
							EFOsInterfaceMgr();
	virtual					~EFOsInterfaceMgr();

							EFOsInterfaceMgr( const EFOsInterfaceMgr& ) = delete;
	EFOsInterfaceMgr&		operator=( const EFOsInterfaceMgr& ) = delete;

	// -1: no log.
	virtual s32				CreateLogFile( char* name, EFAccessMode_e mode );
	virtual void			ReleaseLogFile( u32 id );
	virtual u32				PreInitialize();
	virtual u32				PostInitialize();
	virtual void			PreTerminate();
	virtual void			PostTerminate();
	virtual void			SetApplicationTitle( char* title );

	// PreInitialize, then PostInitialize when it succeeded; 1 when both
	// succeed, else 0.
	u32						Initialize();
	// PreTerminate, then PostTerminate.
	void					Terminate();
};

extern EFOsInterfaceMgr*	gpoOsInterfaceMgr;

#endif
