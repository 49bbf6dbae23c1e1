#include "framework/logic/EFLogicCodeBC.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"

#include <cstring>

void ** EFLogicCodeBC::mppGlobalData[EF_LOGIC_DATA_SLOTS] = {};

namespace {

// Reads a record's id, unused word and name into name (EF_LOGIC_NAME_MAX
// + 1 bytes); the name is always terminated.
void LoadRecordHead( DTBasePersistStream & stream, u32 & id, char * name ) {
	u32 unused = 0;
	id = 0;
	stream.LoadData( id );
	stream.LoadData( unused );
	name[0] = '\0';
	stream.LoadTextData( name, EF_LOGIC_NAME_MAX );
	name[EF_LOGIC_NAME_MAX] = '\0';
}

char * CopyText( const char * text, const u32 length ) {
	char * copy = static_cast<char *>( MMMalloc( length + 1 ) );
	if ( copy != nullptr ) {
		std::memcpy( copy, text, length );
		copy[length] = '\0';
	}
	return copy;
}

} // namespace

EFLogicCodeBC::EFLogicCodeBC()
	: muiID( 0 ), mpfnConstructor( nullptr ), mpfnDestructor( nullptr ), mpfnRegisterLib( nullptr ),
	  miNbFunction( 0 ), mppfnFunction( nullptr ), mppLocalData(), mpGlobalData( nullptr ), mRefCount( 0 ),
	  mFileName( nullptr ), mpObjectName( nullptr ), muiGlobalDataSize( 0 ), muiNullSymbolsCount( 0 ),
	  mszNullSymbols() {
}

EFLogicCodeBC::~EFLogicCodeBC() {
	EFLogicCodeBC::Free();
}

s32 EFLogicCodeBC::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 id = 0;
	char name[EF_LOGIC_NAME_MAX + 1];
	LoadRecordHead( stream, id, name );
	SetObjectNameText( name, static_cast<u32>( std::strlen( name ) ) );
	if ( LoadFile( stream ) != EF_LINK_OK ) {
		return EF_LOGIC_LINK_FAILED;
	}
	EnterCodeMap( id );
	return EF_LOGIC_LOAD_OK;
}

s32 EFLogicCodeBC::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 id = 0;
	char path[EF_LOGIC_NAME_MAX + 1];
	LoadRecordHead( stream, id, path );
	MMFree( mFileName );
	mFileName = CopyText( path, static_cast<u32>( std::strlen( path ) ) );
	SetObjectName();

	DTFileHandle_ * file = DTFopen( path, "rb" );
	if ( file == nullptr ) {
		return EF_LOGIC_LINK_FAILED;
	}
	// Only a memory image can be linked: the file is read whole first.
	const u32 size = DTFsize( file );
	char * image = size != 0 ? static_cast<char *>( MMMalloc( size ) ) : nullptr;
	u32 read = 0;
	if ( image != nullptr ) {
		read = DTFread( image, 1, size, file );
	}
	DTFclose( file );
	DTMemoryPersistStream memory( image, static_cast<s32>( read ) );
	const s32 linked = image != nullptr ? LoadFile( memory ) : EF_LINK_NO_MEMORY;
	MMFree( image );
	if ( linked != EF_LINK_OK ) {
		return EF_LOGIC_LINK_FAILED_TEXT;
	}
	EnterCodeMap( id );
	return EF_LOGIC_LOAD_OK;
}

void EFLogicCodeBC::Free() {
	MMFree( mppfnFunction );
	MMFree( mFileName );
	MMFree( mpObjectName );
	MMFree( mpGlobalData );
	muiID = 0;
	mpfnConstructor = nullptr;
	mpfnDestructor = nullptr;
	miNbFunction = 0;
	mppfnFunction = nullptr;
	for ( void **& slot : mppLocalData ) {
		slot = nullptr;
	}
	mpGlobalData = nullptr;
	mRefCount = 0;
	mFileName = nullptr;
	mpObjectName = nullptr;
	muiNullSymbolsCount = 0;
}

const char * EFLogicCodeBC::GetFunctionName( u32 ) {
	return nullptr;
}

void EFLogicCodeBC::SetObjectName() {
	const char * path = mFileName != nullptr ? mFileName : "";
	const char * slash = std::strrchr( path, '\\' );
	const char * start = slash != nullptr ? slash + 1 : path;
	const char * dot = std::strchr( start, '.' );
	const u32 length = static_cast<u32>( dot != nullptr ? dot - start : std::strlen( start ) );
	SetObjectNameText( start, length );
}

bool EFLogicCodeBC::SetObjectNameText( const char * name, const u32 length ) {
	char * copy = CopyText( name, length );
	if ( copy == nullptr ) {
		return false;
	}
	MMFree( mpObjectName );
	mpObjectName = copy;
	return true;
}

void EFLogicCodeBC::SetFunction( const u32 index, const LogicFunction function ) {
	if ( index >= EF_LOGIC_MAX_FUNCTIONS ) {
		DTPrintf( "SetFunction: index %u out of range!!!\n", index );
		return;
	}
	const u32 count = static_cast<u32>( miNbFunction );
	if ( index >= count ) {
		const u32 grown = count + ( index / EF_LOGIC_FUNCTION_STEP + 1 ) * EF_LOGIC_FUNCTION_STEP;
		LogicFunction * table = static_cast<LogicFunction *>( MMMalloc( grown * sizeof( LogicFunction ) ) );
		if ( table == nullptr ) {
			DTPrintf( "SetFunction: no memory for %u functions!!!\n", grown );
			return;
		}
		for ( u32 i = 0; i < grown; i++ ) {
			table[i] = i < count ? mppfnFunction[i] : nullptr;
		}
		MMFree( mppfnFunction );
		mppfnFunction = table;
		miNbFunction = static_cast<s32>( grown );
	}
	mppfnFunction[index] = function;
}

LogicFunction EFLogicCodeBC::GetFunction( const u32 index ) const {
	if ( mppfnFunction == nullptr || index >= static_cast<u32>( miNbFunction ) ) {
		return nullptr;
	}
	return mppfnFunction[index];
}

namespace {

void RegisterVariable( void ** slots[EF_LOGIC_DATA_SLOTS], void ** variable ) {
	for ( u32 i = 0; i < EF_LOGIC_DATA_SLOTS; i++ ) {
		if ( slots[i] == variable ) {
			return;
		}
		if ( slots[i] == nullptr ) {
			slots[i] = variable;
			return;
		}
	}
}

} // namespace

void EFLogicCodeBC::SetLocalDataPos( void ** variable ) {
	RegisterVariable( mppLocalData, variable );
}

void ** EFLogicCodeBC::GetLocalDataPos( const s32 index ) const {
	if ( index < 0 || static_cast<u32>( index ) >= EF_LOGIC_DATA_SLOTS ) {
		return nullptr;
	}
	return mppLocalData[index];
}

void EFLogicCodeBC::SetGlobalDataPos( void ** variable ) {
	RegisterVariable( mppGlobalData, variable );
}

void ** EFLogicCodeBC::GetGlobalDataPos( const s32 index ) {
	if ( index < 0 || static_cast<u32>( index ) >= EF_LOGIC_DATA_SLOTS ) {
		return nullptr;
	}
	return mppGlobalData[index];
}

void EFLogicCodeBC::InitGlobalData( void ** variable, const s32 size, const s32 ) {
	if ( size <= 0 ) {
		return;
	}
	const u32 bytes = static_cast<u32>( size );
	if ( mpGlobalData == nullptr ) {
		mpGlobalData = MMMalloc( bytes );
		if ( mpGlobalData == nullptr ) {
			DTPrintf( "GetGlobalData: no memory for %u bytes!!!\n", bytes );
			return;
		}
		std::memset( mpGlobalData, 0, bytes );
		muiGlobalDataSize = bytes;
	} else if ( bytes > muiGlobalDataSize ) {
		void * grown = MMRealloc( mpGlobalData, bytes );
		if ( grown == nullptr ) {
			DTPrintf( "GetGlobalData: no memory for %u bytes!!!\n", bytes );
			return;
		}
		std::memset( static_cast<u8 *>( grown ) + muiGlobalDataSize, 0, bytes - muiGlobalDataSize );
		mpGlobalData = grown;
		muiGlobalDataSize = bytes;
	}
	// A smaller request keeps the block and its recorded size: every
	// instance shares the block, and its bytes must survive them all.
	SetGlobalDataPos( variable );
	for ( void ** registered : mppGlobalData ) {
		if ( registered == nullptr ) {
			break;
		}
		*registered = mpGlobalData;
	}
}

void EFLogicCodeBC::PreConstructor() {
	for ( u32 i = 0; i < EF_LOGIC_DATA_SLOTS; i++ ) {
		mppLocalData[i] = nullptr;
		mppGlobalData[i] = nullptr;
	}
}

const char * EFLogicCodeBC::GetNullSymbol( const u32 index ) const {
	return index < muiNullSymbolsCount ? mszNullSymbols[index] : nullptr;
}

void EFLogicCodeBC::TakeLinkResult( const EFLinkResult & result ) {
	muiNullSymbolsCount = result.nullSymbolsCount;
	std::memcpy( mszNullSymbols, result.nullSymbols, sizeof( mszNullSymbols ) );
}

void EFLogicCodeBC::ClearLinkResult() {
	mpfnConstructor = nullptr;
	mpfnDestructor = nullptr;
	mpfnRegisterLib = nullptr;
	muiNullSymbolsCount = 0;
	std::memset( mszNullSymbols, 0, sizeof( mszNullSymbols ) );
}

void EFLogicCodeBC::EnterCodeMap( const u32 id ) {
	muiID = id;
	if ( gpoGameLogicMgr != nullptr ) {
		// Every module is an EFLogicCode: this half is never made alone.
		gpoGameLogicMgr->AddLogicCode( static_cast<EFLogicCode *>( this ) );
	}
}
