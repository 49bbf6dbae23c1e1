/*
===============================================================================

	Portable half of a logic module.

	A logic module is a record of the level's resource file: a code id, the
	module's object name (binary form) or the path of its file (text form),
	and its linked image. This half holds what the engine knows about a
	loaded module: its entry points, the table of state and callback
	functions the module fills from its constructor, the registrations of
	the module's data pointer variables, the data block all its instances
	share and the number of instances using it. Linking is the platform
	half's LoadFile.

	Every value the module hands in is bounded: function indices stop at
	EF_LOGIC_MAX_FUNCTIONS and negative data sizes do nothing. Freed
	pointers are nulled, since the destructors call Free again.

===============================================================================
*/
#ifndef EF_LOGIC_CODE_BC_H
#define EF_LOGIC_CODE_BC_H

#include "datatypes/streamable/DTStreamable.h"
#include "framework/logic/EFLogicLinker.h"
#include "framework/logic/api/LogicModuleAPI.h"

// Registrations of data pointer variables, per module and shared.
constexpr u32 EF_LOGIC_DATA_SLOTS			= 10;
// The function table grows in steps of this many slots.
constexpr u32 EF_LOGIC_FUNCTION_STEP		= 30;
// Function indices from here on are refused.
constexpr u32 EF_LOGIC_MAX_FUNCTIONS		= 65536;
// Bytes of a record's name field.
constexpr s32 EF_LOGIC_NAME_MAX				= 2048;

// Results of the record loaders.
constexpr s32 EF_LOGIC_LOAD_OK				= 0;
constexpr s32 EF_LOGIC_LINK_FAILED_TEXT		= -2;
constexpr s32 EF_LOGIC_LINK_FAILED			= -3;

class EFLogicCodeBC : public DTStreamable {
public:
							EFLogicCodeBC();
	virtual					~EFLogicCodeBC();

	// u32 id, unused u32, the object name; then the image is linked in
	// place. -3 when linking fails; otherwise the module enters the game
	// logic manager's code map.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// u32 id, unused u32, the path of the module file; the file is read
	// whole and linked. -3 when it cannot be opened, -2 when linking fails.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;

	// Links the image at the stream's read position; 0 on success.
	virtual s32				LoadFile( DTBasePersistStream & stream ) = 0;
	// Frees the tables, names and shared block; keeps the register entry
	// and the shared block's size.
	virtual void			Free();
	// No symbol names are kept on this platform: null.
	virtual const char *	GetFunctionName( u32 index );

	// The object name: the file name's part after the last backslash, up
	// to the first full stop after it.
	void					SetObjectName();

	// Stores function at index, growing the table when needed. Indices of
	// EF_LOGIC_MAX_FUNCTIONS and above are refused.
	void					SetFunction( u32 index, LogicFunction function );
	// Null when there is no table or index is outside it.
	LogicFunction			GetFunction( u32 index ) const;

	void					SetLocalDataPos( void ** variable );
	void **					GetLocalDataPos( s32 index ) const;
	static void				SetGlobalDataPos( void ** variable );
	static void **			GetGlobalDataPos( s32 index );

	// Sizes the shared block to at least size bytes (new bytes zeroed),
	// registers variable and points every registered variable at the
	// block. Sizes of 0 or below do nothing. reload changes nothing.
	void					InitGlobalData( void ** variable, s32 size, s32 reload );
	// Clears the module's and the shared data registrations.
	void					PreConstructor();

	u32						GetID() const { return muiID; }
	LogicConstructorFn		GetConstructor() const { return mpfnConstructor; }
	LogicDestructorFn		GetDestructor() const { return mpfnDestructor; }
	LogicRegisterFn			GetRegisterLib() const { return mpfnRegisterLib; }
	s32						GetFunctionCount() const { return miNbFunction; }
	void *					GetGlobalData() const { return mpGlobalData; }
	u32						GetGlobalDataSize() const { return muiGlobalDataSize; }
	u32						GetRefCount() const { return mRefCount; }
	void					AddRef() { mRefCount++; }
	void					ReleaseRef() { mRefCount--; }
	const char *			GetFileName() const { return mFileName; }
	const char *			GetObjectName() const { return mpObjectName; }
	u32						GetNullSymbolsCount() const { return muiNullSymbolsCount; }
	const char *			GetNullSymbol( u32 index ) const;

protected:
	// Takes the entries and undefined names of a link.
	void					TakeLinkResult( const EFLinkResult & result );
	// Forgets the entries and undefined names of a refused link.
	void					ClearLinkResult();
	// Replaces the object name by a copy of the first length bytes of name.
	bool					SetObjectNameText( const char * name, u32 length );

	u32						muiID;
	LogicConstructorFn		mpfnConstructor;
	LogicDestructorFn		mpfnDestructor;
	LogicRegisterFn			mpfnRegisterLib;
	s32						miNbFunction;
	LogicFunction *			mppfnFunction;
	void **					mppLocalData[EF_LOGIC_DATA_SLOTS];
	void *					mpGlobalData;
	u32						mRefCount;
	char *					mFileName;
	char *					mpObjectName;
	u32						muiGlobalDataSize;
	u32						muiNullSymbolsCount;
	char					mszNullSymbols[EF_LINK_MAX_NULL_SYMBOLS][EF_LINK_NULL_SYMBOL_CHARS];

	static void **			mppGlobalData[EF_LOGIC_DATA_SLOTS];

private:
	// Enters the module in the game logic manager's code map under id.
	void					EnterCodeMap( u32 id );
};

#endif
