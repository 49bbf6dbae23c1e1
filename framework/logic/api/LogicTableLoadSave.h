/*
===============================================================================

	Layout of the table `_api_loadsave` that a module gets from the root table:
	memory-card requests, queued and carried out over later frames.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

	Names, data and texts handed to the queueing slots are read when their
	command runs, frames later: they must live until the completion or the
	error callback has been called.

===============================================================================
*/
#ifndef LOGIC_TABLE_LOAD_SAVE_H
#define LOGIC_TABLE_LOAD_SAVE_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_LOAD_SAVE_SLOTS		38

struct _api_loadsave {
	void							( *CreateDirectory )( char * name );
	void							( *ChangeDirectory )( char * name );
	void							( *DeleteDirectory )( char * name );
	void							( *Write )( char * name, void * data, s32 size, s32 a, s32 mode );
	void							( *WriteSaveGame )( char * name, char * a, char * b );
	void							( *Read )( char * name, s32 size, s32 a );
	void							( *ReadSaveGame )( char * name, char * b );
	void							( *DeleteFile )( char * name );
	void							( *DeleteAllFiles )( void );
	void							( *GetDirectory )( char * name );
	void							( *IsMyFileFit )( s32 size );
	void							( *SetErrorCallBack )( LogicSaveCallbackFn function );
	void							( *SetCompleteCallBack )( LogicSaveCallbackFn function );
	s32								( *GetLastCommand )( void );
	s32								( *GetLastAction )( void );
	s32								( *GetError )( void );
	s32								( *GetStatus )( void );
	void *							( *GetReadBuffer )( void );
	void							( *DestroyReadBuffer )( void );
	void							( *SetWorkingMemoryCard )( s32 port, s32 slot );
	s32								( *GetPortActuel )( void );
	s32								( *GetSlotActuel )( void );
	void							( *TransferIcons )( void );
	void							( *FormatCard )( void );
	void							( *GetCardStatus )( void );
	PS2CARDINFO *					( *GetPort1CardInfoBuffer )( void );
	PS2CARDINFO *					( *GetPort2CardInfoBuffer )( void );
	s32								( *GetPort1ActiveMemoryCard )( void );
	s32								( *GetPort2ActiveMemoryCard )( void );
	FILEDESCRIPTOR *				( *GetFileDescriptor )( void );
	char *							( *GetProductCode )( void );
	void							( *GoToMemCardManager )( u32 );
	void							( *SetCommentGC )( char * comment );
	void							( *GetWorkingMemoryCardName )( char *, s32 );
	void *							( *GetTempBuffer )( s32 size );
	void							( *DestroyTempBuffer )( void );
	u32								( *GetFreeMem )( void );
	void							( *EnableReset )( u32 enable );
};

LOGIC_API_SLOT( _api_loadsave, CreateDirectory, 0 );
LOGIC_API_SLOT( _api_loadsave, ChangeDirectory, 1 );
LOGIC_API_SLOT( _api_loadsave, DeleteDirectory, 2 );
LOGIC_API_SLOT( _api_loadsave, Write, 3 );
LOGIC_API_SLOT( _api_loadsave, WriteSaveGame, 4 );
LOGIC_API_SLOT( _api_loadsave, Read, 5 );
LOGIC_API_SLOT( _api_loadsave, ReadSaveGame, 6 );
LOGIC_API_SLOT( _api_loadsave, DeleteFile, 7 );
LOGIC_API_SLOT( _api_loadsave, DeleteAllFiles, 8 );
LOGIC_API_SLOT( _api_loadsave, GetDirectory, 9 );
LOGIC_API_SLOT( _api_loadsave, IsMyFileFit, 10 );
LOGIC_API_SLOT( _api_loadsave, SetErrorCallBack, 11 );
LOGIC_API_SLOT( _api_loadsave, SetCompleteCallBack, 12 );
LOGIC_API_SLOT( _api_loadsave, GetLastCommand, 13 );
LOGIC_API_SLOT( _api_loadsave, GetLastAction, 14 );
LOGIC_API_SLOT( _api_loadsave, GetError, 15 );
LOGIC_API_SLOT( _api_loadsave, GetStatus, 16 );
LOGIC_API_SLOT( _api_loadsave, GetReadBuffer, 17 );
LOGIC_API_SLOT( _api_loadsave, DestroyReadBuffer, 18 );
LOGIC_API_SLOT( _api_loadsave, SetWorkingMemoryCard, 19 );
LOGIC_API_SLOT( _api_loadsave, GetPortActuel, 20 );
LOGIC_API_SLOT( _api_loadsave, GetSlotActuel, 21 );
LOGIC_API_SLOT( _api_loadsave, TransferIcons, 22 );
LOGIC_API_SLOT( _api_loadsave, FormatCard, 23 );
LOGIC_API_SLOT( _api_loadsave, GetCardStatus, 24 );
LOGIC_API_SLOT( _api_loadsave, GetPort1CardInfoBuffer, 25 );
LOGIC_API_SLOT( _api_loadsave, GetPort2CardInfoBuffer, 26 );
LOGIC_API_SLOT( _api_loadsave, GetPort1ActiveMemoryCard, 27 );
LOGIC_API_SLOT( _api_loadsave, GetPort2ActiveMemoryCard, 28 );
LOGIC_API_SLOT( _api_loadsave, GetFileDescriptor, 29 );
LOGIC_API_SLOT( _api_loadsave, GetProductCode, 30 );
LOGIC_API_SLOT( _api_loadsave, GoToMemCardManager, 31 );
LOGIC_API_SLOT( _api_loadsave, SetCommentGC, 32 );
LOGIC_API_SLOT( _api_loadsave, GetWorkingMemoryCardName, 33 );
LOGIC_API_SLOT( _api_loadsave, GetTempBuffer, 34 );
LOGIC_API_SLOT( _api_loadsave, DestroyTempBuffer, 35 );
LOGIC_API_SLOT( _api_loadsave, GetFreeMem, 36 );
LOGIC_API_SLOT( _api_loadsave, EnableReset, 37 );
LOGIC_API_TABLE_SIZE( _api_loadsave, LOGIC_API_LOAD_SAVE_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
