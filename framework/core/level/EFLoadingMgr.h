/*
===============================================================================

	Base of the generic-data managers.

	Each manager enters itself in a process-wide table of five slots under
	its manager id when constructed, and leaves it when destroyed; generic
	data records of the level name the manager that reads them by that id
	(the spline manager is id 1). A manager whose id is outside the table
	is not entered.

===============================================================================
*/
#ifndef EF_LOADING_MGR_H
#define EF_LOADING_MGR_H

#include "datatypes/base/DTTypes.h"

class DTBasePersistStream;

constexpr u32 EF_LOADING_MGR_COUNT	= 5;
constexpr u32 EF_SPLINE_MGR_ID		= 1;

class EFLoadingMgr {
public:
	// The manager of each id; null where none is constructed.
	static EFLoadingMgr *	mspoMgrs[EF_LOADING_MGR_COUNT];

	explicit				EFLoadingMgr( u32 managerId );
	virtual					~EFLoadingMgr();

							EFLoadingMgr( const EFLoadingMgr & ) = delete;
	EFLoadingMgr &			operator=( const EFLoadingMgr & ) = delete;

	// 0 in the base.
	virtual s32				LoadFromFile( const char * name );
	// Reads the data named by data id for this manager from the stream.
	virtual s32				LoadData( u32 managerId, u32 dataId, DTBasePersistStream & stream ) = 0;

	// The manager of an id, null when the id is outside the table or no
	// manager holds it.
	static EFLoadingMgr *	GetManager( u32 managerId );
};

#endif
