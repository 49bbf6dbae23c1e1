/*
===============================================================================

	The console's OS interface manager (gpoEIOsInterfaceMgr): logs, window
	titles and message boxes do not exist on the console, so every
	operation does nothing and Initialize succeeds.

===============================================================================
*/
#ifndef EI_OS_INTERFACE_MGR_H
#define EI_OS_INTERFACE_MGR_H

#include "framework/core/EFOsInterfaceMgr.h"

#include <cstdarg>

class EIOsInterfaceMgr : public EFOsInterfaceMgr {
public:
							EIOsInterfaceMgr();
							~EIOsInterfaceMgr() override;

	// 0.
	s32						CreateLogFile( char* name, EFAccessMode_e mode ) override;
	void					ReleaseLogFile( u32 id ) override;
	u32						PreInitialize() override;
	void					PreTerminate() override;
	void					PostTerminate() override;
	void					SetApplicationTitle( char* title ) override;
	virtual void			WriteToLog( u32 id, const char* format, va_list args );
	virtual void			MessageBoxOk( const char* format, va_list args );

private:
	// Open log files: there are never any.
	u32						mui32LogFileCount;
	u32						mui32Unused;
};

extern EIOsInterfaceMgr*	gpoEIOsInterfaceMgr;

#endif
