/*
===============================================================================

	The console's OS interface manager (gpoEIOsInterfaceMgr): logs, window
	titles and message boxes do not exist on the console, so every
	operation does nothing, CreateLogFile answers 0 and Initialize
	succeeds. The list of open log files is kept, empty, with room for 8.

	WriteToLog and MessageBoxOk follow the base's virtual operations in
	that order.

===============================================================================
*/
#ifndef EI_OS_INTERFACE_MGR_H
#define EI_OS_INTERFACE_MGR_H

#include "datatypes/containers/DTVector.h"
#include "framework/core/engine/EFOsInterfaceMgr.h"

#include <cstdarg>

constexpr u32 EI_LOG_FILES_RESERVED = 8;

class EIOsInterfaceMgr : public EFOsInterfaceMgr {
public:
	// One open log file.
	struct _File {
		u32					mui32Id;
		void*				mpHandle;
	};

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
	DTVector<_File>			moLogFiles;
	[[maybe_unused]] u32		mui32Reserved;
};

extern EIOsInterfaceMgr*	gpoEIOsInterfaceMgr;

// The creator start-up installs for the engine controller: makes the
// manager and makes it gpoEIOsInterfaceMgr.
EFOsInterfaceMgr*	EICreateOsInterfaceMgr();

#endif
