/*
===============================================================================

	Portable OS interface manager: Initialize and Terminate split into a
	pre- and a post-step, log files, a window title and a message box. The
	constructor publishes the object in gpoOsInterfaceMgr; the destructor
	clears it.

===============================================================================
*/
#ifndef EF_OS_INTERFACE_MGR_H
#define EF_OS_INTERFACE_MGR_H

#include "datatypes/DTTypes.h"

enum EFAccessMode_e {
	EF_ACCESS_READ	= 0,
	EF_ACCESS_WRITE	= 1,
};

class EFOsInterfaceMgr {
public:
							EFOsInterfaceMgr();
	virtual					~EFOsInterfaceMgr();

	// -1: no log.
	virtual s32				CreateLogFile( char* name, EFAccessMode_e mode );
	virtual void			ReleaseLogFile( u32 id );
	virtual u32				PreInitialize();
	virtual u32				PostInitialize();
	virtual void			PreTerminate();
	virtual void			PostTerminate();
	virtual void			SetApplicationTitle( char* title );

	// 1 when both steps succeed.
	u32						Initialize();
	void					Terminate();
};

extern EFOsInterfaceMgr*	gpoOsInterfaceMgr;

#endif
