#include "framework/core/save/EFLoadSaveMgrGC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"

#include <cstring>

namespace {

// Argument words (step counter included) each command needs at least.
u32 MinimumArgc( const u32 id ) {
	switch ( id ) {
		case EF_LS_CMD_GET_DIRECTORY:
		case EF_LS_CMD_DELETE_FILE:
		case EF_LS_CMD_IS_MY_FILE_FIT:
		case EF_LS_CMD_SET_WORKING_CARD:	return 2;
		case EF_LS_CMD_WRITE_FILE:
		case EF_LS_CMD_READ_FILE:			return 3;
		case EF_LS_CMD_READ:				return 4;
		case EF_LS_CMD_WRITE:				return 7;
		default:							return 1;
	}
}

// The step counter: the action's last argument word.
EFLoadSaveWord& Step( EFLoadSaveWord* action ) {
	return action[( static_cast<u32>( action[0] ) & EF_LS_ARGC_MASK ) >> EF_LS_ARGC_SHIFT];
}

// Bytes of whole sectors holding bytes, plus one more sector; 0 when that
// does not fit an s32 (the card library's lengths).
u32 SectorsFor( const u64 bytes, const s32 sectorSize ) {
	const u64 sector = static_cast<u64>( sectorSize );
	const u64 total = ( bytes / sector + 1 ) * sector;
	return total > 0x7FFFFFFFu ? 0 : static_cast<u32>( total );
}

} // namespace

EFLoadSaveMgr_SP::EFLoadSaveMgr_SP()
	: mui32OpenMode( EF_LS_OPEN_EXISTING ), mi32Channel( CARD_SLOT_A ), mi32MemSize( 0 ), mi32SectorSize( 0 ),
	  moFileInfo(), macComment(), mpui8IconData( nullptr ), mui32IconSize( 0 ), mpui8WriteImage( nullptr ),
	  mpui8ReadImage( nullptr ), mui32ReadImageSize( 0 ), mi32FreeBytes( 0 ), mi32FreeFiles( 0 ),
	  mpvWorkArea( nullptr ), mui32PendingCommand( 0 ), mui32LastCommand( 0 ) {
	moFileInfo.chan = -1;
}

EFLoadSaveMgr_SP::~EFLoadSaveMgr_SP() {
	FreeWriteImage();
	FreeReadImage();
	SpecificTerminate();
	MMFree( mpvWorkArea );
}

// --- Frame ---

void EFLoadSaveMgr_SP::SpecificUpdate() {
	if ( !IsAction() ) {
		return;
	}
	if ( CARDGetResultCode( mi32Channel ) == CARD_RESULT_BUSY ) {
		return;
	}
	if ( mui32PendingCommand != 0 ) {
		const u32 id = mui32PendingCommand;
		mui32PendingCommand = 0;
		mui32LastCommand = id;
		mui32Status = 0;
		mi32LastError = 0;
		if ( Dispatch( id, GetArgPtr() ) == 1 ) {
			return;
		}
		if ( ( mui32Status & EF_LS_STATUS_ERROR ) != 0 ) {
			ProcessError();
			return;
		}
		UnRegisterAction();
	}
	while ( IsAction() ) {
		mui32Status = 0;
		mi32LastError = 0;
		const u32 id = GetAction();
		if ( id == 0 ) {
			continue;		// only finished actions were left
		}
		if ( Dispatch( id, GetArgPtr() ) == 1 ) {
			return;
		}
		if ( ( mui32Status & EF_LS_STATUS_ERROR ) != 0 ) {
			ProcessError();
			return;
		}
		UnRegisterAction();
	}
	CommandsCompleted();
}

u32 EFLoadSaveMgr_SP::Dispatch( const u32 id, EFLoadSaveWord* action ) {
	if ( ArgCount( action ) < MinimumArgc( id ) ) {
		return Fail( EF_LS_ERROR_UNSUPPORTED );
	}
	switch ( id ) {
		case EF_LS_CMD_CREATE_DIRECTORY:	return CreateDirectory( action );
		case EF_LS_CMD_CHANGE_DIRECTORY:	return ChangeDirectory( action );
		case EF_LS_CMD_GET_DIRECTORY:		return GetDirectory( action );
		case EF_LS_CMD_COMPUTE_CHECKSUM:	return ComputeCheckSum();
		case EF_LS_CMD_VERIFY_CHECKSUM:		return VerifyCheckSum();
		case EF_LS_CMD_DELETE_FILE:			return DeleteFile( action );
		case EF_LS_CMD_DELETE_DIRECTORY:	return DeleteDirectory( action );
		case EF_LS_CMD_DELETE_ALL_FILES:	return DeleteAllFiles( action );
		case EF_LS_CMD_WRITE:				return Write( action );
		case EF_LS_CMD_READ:				return Read( action );
		case EF_LS_CMD_IS_MY_FILE_FIT:		return IsMyFileFit( action );
		case EF_LS_CMD_GET_CARD_STATUS:		return GetCardStatus( action );
		case EF_LS_CMD_SET_WORKING_CARD:	return SetWorkingMemoryCard( action );
		case EF_LS_CMD_FORMAT_CARD:			return FormatCard( action );
		case EF_LS_CMD_OPEN_FILE:			return OpenFile( action );
		case EF_LS_CMD_CLOSE_FILE:			return CloseFile( action );
		case EF_LS_CMD_WRITE_FILE:			return WriteFile( action );
		case EF_LS_CMD_READ_FILE:			return ReadFile( action );
		case EF_LS_CMD_DELETE:				return Delete( action );
		case EF_LS_CMD_READ_SAVE_GAME:		return ReadSaveGame( action );
		case EF_LS_CMD_WRITE_SAVE_GAME:		return WriteSaveGame( action );
		case EF_LS_CMD_MOUNT:				return Mount( action );
		case EF_LS_CMD_CHECK:				return Check( action );
		default:							return Fail( EF_LS_ERROR_UNSUPPORTED );
	}
}

u32 EFLoadSaveMgr_SP::Started( const u32 id, EFLoadSaveWord* action, const u32 step ) {
	mui32PendingCommand = id;
	Step( action ) = step;
	return 1;
}

u32 EFLoadSaveMgr_SP::Fail( const s32 error ) {
	SetError( error );
	CARDUnmount( mi32Channel );
	return 0;
}

bool EFLoadSaveMgr_SP::PushInOrder( const u32* ids, const u32 count ) {
	for ( u32 i = count; i-- > 0; ) {
		const EFLoadSaveWord words[2] = { EFLoadSaveCommandWord( ids[i], 1 ), 0 };
		if ( !RegisterAction( words, EF_LS_PUSH ) ) {
			return false;
		}
	}
	return true;
}

u32 EFLoadSaveMgr_SP::Pushed( const bool pushed, EFLoadSaveWord& step, const u32 next ) {
	if ( !pushed ) {
		return Fail( EF_LS_ERROR_UNSUPPORTED );
	}
	step = next;
	return 1;
}

u32 EFLoadSaveMgr_SP::SpecificInitialize() {
	// The global manager is built before main: taking the work area then
	// would start the engine's heaps over the arena before start-up does.
	if ( mpvWorkArea == nullptr ) {
		mpvWorkArea = MMMalloc( CARD_WORKAREA_SIZE );
	}
	mui32OpenMode = EF_LS_OPEN_EXISTING;
	mui32PendingCommand = 0;
	mui32LastCommand = 0;
	FreeWriteImage();
	FreeReadImage();
	return 1;
}

u32 EFLoadSaveMgr_SP::SpecificTerminate() {
	MMFree( mpui8IconData );
	mpui8IconData = nullptr;
	mui32IconSize = 0;
	return 1;
}

u32 EFLoadSaveMgr_SP::GetLastCommand() {
	return mui32LastCommand;
}

// --- Commands logic queues ---

u32 EFLoadSaveMgr_SP::CreateDirectory( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::ChangeDirectory( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::DeleteDirectory( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::DeleteAllFiles( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::ReadSaveGame( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::WriteSaveGame( EFLoadSaveWord* ) {
	return Fail( EF_LS_ERROR_UNSUPPORTED );
}

u32 EFLoadSaveMgr_SP::Write( EFLoadSaveWord* action ) {
	EFLoadSaveWord& step = Step( action );
	if ( step == 0 ) {
		mpcFileName = reinterpret_cast<char*>( Arg( action, 0 ) );
		mpvData = reinterpret_cast<const void*>( Arg( action, 1 ) );
		mui32DataSize = static_cast<u32>( Arg( action, 2 ) );
		mui32OpenMode = static_cast<u32>( Arg( action, 4 ) );
		ComputeCheckSum();
		const u32 after[] = { EF_LS_CMD_CLOSE_FILE };
		const u32 before[] = { EF_LS_CMD_MOUNT, EF_LS_CMD_CHECK, EF_LS_CMD_OPEN_FILE };
		const EFLoadSaveWord writeFile[4] = { EFLoadSaveCommandWord( EF_LS_CMD_WRITE_FILE, 3 ), Arg( action, 1 ), Arg( action, 2 ), 0 };
		return Pushed( PushInOrder( after, 1 ) && RegisterAction( writeFile, EF_LS_PUSH ) && PushInOrder( before, 3 ), step, 1 );
	}
	if ( step == 1 ) {
		// Read the file back: its checksum is checked against its data.
		mui32OpenMode = EF_LS_OPEN_EXISTING;
		const EFLoadSaveWord read[5] = { EFLoadSaveCommandWord( EF_LS_CMD_READ, 4 ), Arg( action, 0 ), Arg( action, 2 ), 0, 0 };
		return Pushed( RegisterAction( read, EF_LS_PUSH ) != 0, step, 2 );
	}
	FreeReadBuffer();
	return 0;
}

u32 EFLoadSaveMgr_SP::Read( EFLoadSaveWord* action ) {
	EFLoadSaveWord& step = Step( action );
	if ( step == 0 ) {
		mpcFileName = reinterpret_cast<char*>( Arg( action, 0 ) );
		mui32DataSize = static_cast<u32>( Arg( action, 1 ) );
		const u32 after[] = { EF_LS_CMD_CLOSE_FILE, EF_LS_CMD_VERIFY_CHECKSUM };
		const u32 before[] = { EF_LS_CMD_MOUNT, EF_LS_CMD_CHECK, EF_LS_CMD_OPEN_FILE };
		const EFLoadSaveWord readFile[4] = { EFLoadSaveCommandWord( EF_LS_CMD_READ_FILE, 3 ), 0, Arg( action, 1 ), 0 };
		return Pushed( PushInOrder( after, 2 ) && RegisterAction( readFile, EF_LS_PUSH ) && PushInOrder( before, 3 ), step, 1 );
	}
	CARDUnmount( mi32Channel );
	return 0;
}

u32 EFLoadSaveMgr_SP::DeleteFile( EFLoadSaveWord* action ) {
	EFLoadSaveWord& step = Step( action );
	if ( step == 0 ) {
		mpcFileName = reinterpret_cast<char*>( Arg( action, 0 ) );
		const u32 subActions[] = { EF_LS_CMD_MOUNT, EF_LS_CMD_CHECK, EF_LS_CMD_DELETE };
		return Pushed( PushInOrder( subActions, 3 ), step, 1 );
	}
	CARDUnmount( mi32Channel );
	return 0;
}

u32 EFLoadSaveMgr_SP::IsMyFileFit( EFLoadSaveWord* action ) {
	EFLoadSaveWord& step = Step( action );
	if ( step == 0 ) {
		mui32DataSize = static_cast<u32>( Arg( action, 0 ) );
		const u32 subActions[] = { EF_LS_CMD_MOUNT, EF_LS_CMD_CHECK };
		return Pushed( PushInOrder( subActions, 2 ), step, 1 );
	}
	const s32 result = CARDFreeBlocks( mi32Channel, &mi32FreeBytes, &mi32FreeFiles );
	if ( result < 0 ) {
		return Fail( result );
	}
	CARDUnmount( mi32Channel );
	// The file a write would create, in whole sectors.
	const u32 needed = mi32SectorSize > 0 ? SectorsFor( static_cast<u64>( mui32DataSize ) + EF_LS_FILE_FIXED_BYTES, mi32SectorSize ) : 0;
	if ( needed == 0 || static_cast<s64>( needed ) > mi32FreeBytes || mi32FreeFiles < 1 ) {
		return Fail( EF_LS_ERROR_DOES_NOT_FIT );
	}
	return 0;
}

u32 EFLoadSaveMgr_SP::GetDirectory( EFLoadSaveWord* ) {
	std::memset( moDirectory, 0, sizeof( moDirectory ) );
	u32 filled = 0;
	for ( s32 fileNo = 0; fileNo < static_cast<s32>( CARD_MAX_FILE ) && filled < EF_LS_DIRECTORY_ENTRIES; fileNo++ ) {
		CARDStat stat;
		if ( CARDGetStatus( mi32Channel, fileNo, &stat ) != CARD_RESULT_READY ) {
			continue;
		}
		FILEDESCRIPTOR& entry = moDirectory[filled++];
		std::memcpy( entry.cName, stat.fileName, sizeof( entry.cName ) );
		entry.iSize = static_cast<s32>( stat.length );
		entry.iCreateDate = static_cast<s32>( stat.time );
	}
	return 0;
}

u32 EFLoadSaveMgr_SP::FormatCard( EFLoadSaveWord* ) {
	s32 result = CARDMount( mi32Channel, mpvWorkArea );
	if ( result < 0 && result != CARD_RESULT_BROKEN && result != CARD_RESULT_ENCODING ) {
		return Fail( result );
	}
	result = CARDFormat( mi32Channel );
	if ( result < 0 ) {
		return Fail( result );
	}
	CARDUnmount( mi32Channel );
	return 0;
}

u32 EFLoadSaveMgr_SP::SetWorkingMemoryCard( EFLoadSaveWord* action ) {
	const s32 slot = static_cast<s32>( Arg( action, 1 ) );
	if ( slot < 0 || slot >= CARD_CHANNEL_COUNT ) {
		return Fail( EF_LS_ERROR_UNSUPPORTED );
	}
	mi32Channel = slot;
	return GetCardStatus( action );
}

u32 EFLoadSaveMgr_SP::GetCardStatus( EFLoadSaveWord* ) {
	const s32 result = CARDProbeEx( mi32Channel, &mi32MemSize, &mi32SectorSize );
	return result < 0 ? Fail( result ) : 0;
}

// --- Card steps ---

u32 EFLoadSaveMgr_SP::Mount( EFLoadSaveWord* action ) {
	if ( Step( action ) == 0 ) {
		s32 result = CARDProbeEx( mi32Channel, &mi32MemSize, &mi32SectorSize );
		if ( result >= 0 ) {
			result = CARDMountAsync( mi32Channel, mpvWorkArea );
		}
		return result < 0 ? Fail( result ) : Started( EF_LS_CMD_MOUNT, action, 1 );
	}
	s32 result = CARDGetResultCode( mi32Channel );
	if ( result == CARD_RESULT_BROKEN ) {
		result = CARDCheck( mi32Channel );
	}
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::Check( EFLoadSaveWord* action ) {
	if ( Step( action ) == 0 ) {
		const s32 result = CARDCheckAsync( mi32Channel );
		return result < 0 ? Fail( result ) : Started( EF_LS_CMD_CHECK, action, 1 );
	}
	const s32 result = CARDGetResultCode( mi32Channel );
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::OpenFile( EFLoadSaveWord* action ) {
	if ( Step( action ) == 0 ) {
		if ( mpcFileName == nullptr || mi32SectorSize <= 0 ) {
			return Fail( EF_LS_ERROR_UNSUPPORTED );
		}
		s32 result = 0;
		if ( mui32OpenMode == EF_LS_OPEN_CREATE ) {
			const u32 size = SectorsFor( static_cast<u64>( mui32DataSize ) + EF_LS_FILE_FIXED_BYTES, mi32SectorSize );
			if ( size == 0 ) {
				return Fail( EF_LS_ERROR_DOES_NOT_FIT );
			}
			result = CARDCreateAsync( mi32Channel, mpcFileName, size, &moFileInfo );
		} else {
			result = CARDOpen( mi32Channel, mpcFileName, &moFileInfo );
		}
		return result < 0 ? Fail( result ) : Started( EF_LS_CMD_OPEN_FILE, action, 1 );
	}
	const s32 result = CARDGetResultCode( mi32Channel );
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::CloseFile( EFLoadSaveWord* ) {
	const s32 result = CARDClose( &moFileInfo );
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::Delete( EFLoadSaveWord* action ) {
	if ( Step( action ) == 0 ) {
		if ( mpcFileName == nullptr ) {
			return Fail( EF_LS_ERROR_UNSUPPORTED );
		}
		const s32 result = CARDDeleteAsync( mi32Channel, mpcFileName );
		return result < 0 ? Fail( result ) : Started( EF_LS_CMD_DELETE, action, 1 );
	}
	const s32 result = CARDGetResultCode( mi32Channel );
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::WriteFile( EFLoadSaveWord* action ) {
	EFLoadSaveWord& step = Step( action );
	if ( step == 0 ) {
		LoadIcon();
		const u8* const data = reinterpret_cast<const u8*>( Arg( action, 0 ) );
		const u32 length = static_cast<u32>( Arg( action, 1 ) );
		if ( mi32SectorSize <= 0 || ( data == nullptr && length != 0 ) ) {
			return Fail( EF_LS_ERROR_UNSUPPORTED );
		}
		const u32 size = SectorsFor( static_cast<u64>( mui32IconSize ) + length + EF_LS_FILE_OVERHEAD, mi32SectorSize );
		if ( size == 0 ) {
			return Fail( EF_LS_ERROR_DOES_NOT_FIT );
		}
		FreeWriteImage();
		mpui8WriteImage = static_cast<u8*>( MMMalloc( size ) );
		if ( mpui8WriteImage == nullptr ) {
			return Fail( EF_LS_ERROR_UNSUPPORTED );
		}
		u8* const image = mpui8WriteImage;
		std::memset( image, 0, size );
		DTWriteBE32( image, length );
		std::memcpy( image + EF_LS_COMMENT_OFFSET, macComment, EF_LS_COMMENT_BYTES );
		if ( mui32IconSize != 0 ) {
			std::memcpy( image + EF_LS_ICON_OFFSET, mpui8IconData, mui32IconSize );
		}
		u8* const stored = image + EF_LS_ICON_OFFSET + mui32IconSize;
		if ( length != 0 ) {
			std::memcpy( stored, data, length );
		}
		DTWriteBE32( stored + length, ComputeCrc( reinterpret_cast<const char*>( stored ), length ) );
		const s32 result = CARDWriteAsync( &moFileInfo, image, static_cast<s32>( size ), 0 );
		if ( result < 0 ) {
			FreeWriteImage();
			return Fail( result );
		}
		return Started( EF_LS_CMD_WRITE_FILE, action, 1 );
	}
	if ( step == 1 ) {
		s32 result = CARDGetResultCode( mi32Channel );
		CARDStat stat;
		if ( result >= 0 ) {
			result = CARDGetStatus( mi32Channel, moFileInfo.fileNo, &stat );
		}
		if ( result < 0 ) {
			FreeWriteImage();
			return Fail( result );
		}
		stat.commentAddr = EF_LS_COMMENT_OFFSET;
		if ( mui32IconSize != 0 ) {
			// Icon 0 only, shown slowly; no banner.
			stat.iconAddr = EF_LS_ICON_OFFSET;
			stat.iconFormat = CARD_STAT_ICON_RGB5A3;
			stat.iconSpeed = CARD_STAT_SPEED_SLOW;
			stat.bannerFormat = CARD_STAT_BANNER_NONE;
		}
		CARDSetStatus( mi32Channel, moFileInfo.fileNo, &stat );
		return Started( EF_LS_CMD_WRITE_FILE, action, 2 );
	}
	FreeWriteImage();
	const s32 result = CARDGetResultCode( mi32Channel );
	return result < 0 ? Fail( result ) : 0;
}

u32 EFLoadSaveMgr_SP::ReadFile( EFLoadSaveWord* action ) {
	if ( Step( action ) == 0 ) {
		CARDStat stat;
		const s32 result = CARDGetStatus( mi32Channel, moFileInfo.fileNo, &stat );
		if ( result < 0 ) {
			return Fail( result );
		}
		// A file with no icon, or one too short for the fixed part, is
		// not a save; without the disc's icon nothing can be checked.
		if ( stat.iconAddr == CARD_STAT_ADDRESS_NONE || stat.length < EF_LS_FILE_FIXED_BYTES || !LoadIcon() ) {
			return Fail( EF_LS_ERROR_CORRUPT_FILE );
		}
		FreeReadImage();
		mpui8ReadImage = static_cast<u8*>( MMMalloc( stat.length ) );
		if ( mpui8ReadImage == nullptr ) {
			return Fail( EF_LS_ERROR_CORRUPT_FILE );
		}
		mui32ReadImageSize = stat.length;
		const s32 started = CARDReadAsync( &moFileInfo, mpui8ReadImage, static_cast<s32>( stat.length ), 0 );
		if ( started < 0 ) {
			FreeReadImage();
			return Fail( started );
		}
		return Started( EF_LS_CMD_READ_FILE, action, 1 );
	}
	const s32 result = CARDGetResultCode( mi32Channel );
	if ( result < 0 || mpui8ReadImage == nullptr ) {
		FreeReadImage();
		return Fail( result < 0 ? result : EF_LS_ERROR_CORRUPT_FILE );
	}
	const u8* const image = mpui8ReadImage;
	const s32 requested = static_cast<s32>( Arg( action, 1 ) );
	const u64 length = requested > 0 ? static_cast<u64>( requested ) : DTReadBE32( image );
	FreeReadBuffer();
	if ( length > mui32ReadImageSize - EF_LS_FILE_FIXED_BYTES ) {
		FreeReadImage();
		return Fail( EF_LS_ERROR_CORRUPT_FILE );
	}
	mui32DataSize = static_cast<u32>( length );
	mpvReadBuffer = MMMalloc( mui32DataSize != 0 ? mui32DataSize : 1 );
	if ( mpvReadBuffer == nullptr ) {
		FreeReadImage();
		return Fail( EF_LS_ERROR_CORRUPT_FILE );
	}
	std::memcpy( mpvReadBuffer, image + EF_LS_DATA_OFFSET, mui32DataSize );
	mui32CheckSum = DTReadBE32( image + EF_LS_DATA_OFFSET + mui32DataSize );
	VerifyCommentIntegrity();
	VerifyIconIntegrity();
	VerifyCheckSum();
	FreeReadImage();
	if ( ( mui32Status & EF_LS_STATUS_ERROR ) != 0 ) {
		CARDUnmount( mi32Channel );
	}
	return 0;
}

// --- Checks of a read file ---

u32 EFLoadSaveMgr_SP::VerifyCommentIntegrity() {
	if ( mpui8ReadImage == nullptr || mpui8ReadImage[EF_LS_COMMENT_OFFSET] == 0 ) {
		SetError( EF_LS_ERROR_CORRUPT_FILE );
	}
	return 0;
}

u32 EFLoadSaveMgr_SP::VerifyIconIntegrity() {
	if ( mpui8ReadImage == nullptr || mpui8IconData == nullptr || mui32IconSize < EF_LS_ICON_BYTES ||
		 std::memcmp( mpui8ReadImage + EF_LS_ICON_OFFSET, mpui8IconData, EF_LS_ICON_BYTES ) != 0 ) {
		SetError( EF_LS_ERROR_CORRUPT_FILE );
	}
	return 0;
}

// --- Buffers ---

bool EFLoadSaveMgr_SP::LoadIcon() {
	if ( mpui8IconData != nullptr ) {
		return true;
	}
	DTFileHandle_* const file = DTFopen( EF_LS_ICON_FILE, "r" );
	if ( file == nullptr ) {
		return false;
	}
	const u32 size = DTFsize( file );
	u8* const icon = size != 0 ? static_cast<u8*>( MMMalloc( size ) ) : nullptr;
	if ( icon == nullptr || DTFread( icon, 1, size, file ) != size ) {
		MMFree( icon );
		DTFclose( file );
		return false;
	}
	DTFclose( file );
	mpui8IconData = icon;
	mui32IconSize = size;
	return true;
}

void EFLoadSaveMgr_SP::FreeWriteImage() {
	MMFree( mpui8WriteImage );
	mpui8WriteImage = nullptr;
}

void EFLoadSaveMgr_SP::FreeReadImage() {
	MMFree( mpui8ReadImage );
	mpui8ReadImage = nullptr;
	mui32ReadImageSize = 0;
}

// --- Logic's calls ---

void EFLoadSaveMgr_SP::SetComment( const char* comment ) {
	if ( comment != nullptr ) {
		std::memcpy( macComment, comment, EF_LS_COMMENT_BYTES );
	}
}

void EFLoadSaveMgr_SP::GoToMemCardManager( unsigned long ) {
	GCReset( 1, 0, 1 );
}

u32 EFLoadSaveMgr_SP::RegisterFormatCard() {
	const EFLoadSaveWord action[2] = { EFLoadSaveCommandWord( EF_LS_CMD_FORMAT_CARD, 1 ), 0 };
	return RegisterAction( action, EF_LS_APPEND );
}

u32 EFLoadSaveMgr_SP::RegisterSetWorkingMemoryCard( const s32 port, const s32 slot ) {
	const EFLoadSaveWord action[4] = { EFLoadSaveCommandWord( EF_LS_CMD_SET_WORKING_CARD, 3 ), static_cast<EFLoadSaveWord>( port ),
									   static_cast<EFLoadSaveWord>( slot ), 0 };
	return RegisterAction( action, EF_LS_APPEND );
}

u32 EFLoadSaveMgr_SP::RegisterGetCardStatus() {
	const EFLoadSaveWord action[2] = { EFLoadSaveCommandWord( EF_LS_CMD_GET_CARD_STATUS, 1 ), 0 };
	return RegisterAction( action, EF_LS_APPEND );
}
