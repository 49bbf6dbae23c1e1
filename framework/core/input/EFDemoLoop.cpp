#include "framework/core/input/EFDemoLoop.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/save/EFLoadSaveBuff.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "platform/runtime/RuntimeRand.h"

#include <cstdint>
#include <cstring>

static_assert( EF_DEMO_ABORT_LEVEL_SIZE == EF_CONTROLLER_PATH_SIZE );

namespace {

// The demo file while none is open: never dereferenced.
DTFileHandle_* const DEMO_NO_FILE = reinterpret_cast<DTFileHandle_*>( UINTPTR_MAX );

// Trailing length word of a demo file.
constexpr u32 LENGTH_WORD_BYTES = 4;
// The smallest demo file: header, a final block and the length word.
constexpr u32 SMALLEST_FILE_BYTES = EF_DEMO_HEADER_BYTES + LENGTH_WORD_BYTES;

constexpr u32 BLOCK_COUNT_OFFSET	= 2;
constexpr u32 BLOCK_STEP_OFFSET		= 4;
constexpr u32 RECORD_X_OFFSET		= 4;
constexpr u32 RECORD_Y_OFFSET		= 8;
constexpr u32 RECORD_FLAGS_OFFSET	= 12;
constexpr u32 HEADER_SEED_OFFSET	= 4;

// The image's own size field.
constexpr u32 SAVE_IMAGE_SIZE_OFFSET = 64;

const char* CurrentResFilename() {
	const char* name = gpoRessourcesMgr != nullptr ? gpoRessourcesMgr->GetResFilename() : nullptr;
	return name != nullptr ? name : "";
}

// Copies text into a field of size bytes, cut and terminated.
void CopyBounded( char* field, const u32 size, const char* text ) {
	const size_t length = strnlen( text, size - 1 );
	std::memcpy( field, text, length );
	field[length] = '\0';
}

// The end of the block at p: its header and records.
u8* BlockEnd( u8* block ) {
	return block + EF_DEMO_BLOCK_BYTES + DTReadBE16( block + BLOCK_COUNT_OFFSET ) * EF_DEMO_RECORD_BYTES;
}

}

EFDemoLoop::EFDemoLoop() :
	mui32State( EF_DEMO_IDLE ),
	mpoFile( DEMO_NO_FILE ),
	mui32Countdown( 0 ),
	mui32CallbackObject( EF_DEMO_NO_CALLBACK ),
	mui32CallbackIndex( EF_DEMO_NO_CALLBACK ),
	mpBuffer( nullptr ),
	mpCursor( nullptr ),
	mpHeader( nullptr ),
	mpBlock( nullptr ),
	mpFirstRecord( nullptr ),
	mui32FrameCounter( 0 ),
	mszAbortLevel(),
	mui32Seed( 0 ),
	mbRestarting( false ),
	mpRestartImage( nullptr ),
	mui32RestartImageBytes( 0 ) {
}

EFDemoLoop::~EFDemoLoop() {
	mui32State = EF_DEMO_IDLE;
	CleanUp();
}

bool EFDemoLoop::HasFile() const {
	return mpoFile != DEMO_NO_FILE && mpoFile != nullptr;
}

void EFDemoLoop::CloseFile() {
	if ( HasFile() ) {
		DTFclose( mpoFile );
	}
	mpoFile = DEMO_NO_FILE;
}

void EFDemoLoop::StartBlock( u8* p ) {
	DTWriteBE16( p, EF_DEMO_BLOCK_MARKER );
	DTWriteBE16( p + BLOCK_COUNT_OFFSET, 0 );
	DTWriteBEF32( p + BLOCK_STEP_OFFSET, 0.0f );
	mpBlock = p;
	mpFirstRecord = p + EF_DEMO_BLOCK_BYTES;
	mpCursor = mpFirstRecord;
}

void EFDemoLoop::Record( char* path ) {
	mui32FrameCounter = 0;
	// The save image's checksums need the CRC table.
	EFLoadSaveBuff saveBuffer;
	Stop();
	DTFileHandle_* const file = DTFopen( path, "wb" );
	mpoFile = file != nullptr ? file : DEMO_NO_FILE;
	if ( file == nullptr ) {
		DTPrintf( "DEMO FILE %s NOT OPENED, THE RECORDING WILL NOT BE STORED!!!\n", path != nullptr ? path : "" );
	}
	mpBuffer = static_cast<u8*>( MMMalloc( EF_DEMO_BUFFER_BYTES ) );
	if ( mpBuffer == nullptr ) {
		DTPrintf( "NO MEMORY TO RECORD A DEMO!!!\n" );
		CleanUp();
		return;
	}
	// The records' unused bytes reach the file: no stale memory in them.
	std::memset( mpBuffer, 0, EF_DEMO_BUFFER_BYTES );
	mpHeader = mpBuffer;
	const u32 seed = static_cast<u32>( RuntimeRand() );
	DTWriteBE32( mpHeader, EF_DEMO_MAGIC );
	DTWriteBE32( mpHeader + HEADER_SEED_OFFSET, seed );
	RuntimeSrand( seed );
	mui32Seed = seed;
	StartBlock( mpBuffer + EF_DEMO_HEADER_BYTES );

	char* const image = saveBuffer.CreateBuffer( "Demo Save", CurrentResFilename() );
	bool imageStored = false;
	if ( image == nullptr ) {
		DTPrintf( "DEMO SAVE IMAGE NOT MADE!!!\n" );
	} else {
		const u32 imageBytes = DTReadBE32( reinterpret_cast<const u8*>( image ) + SAVE_IMAGE_SIZE_OFFSET );
		DTFileHandle_* const save = DTFopen( EF_DEMO_SAVE_FILE, "wb" );
		if ( save != nullptr ) {
			imageStored = DTFwrite( image, 1, imageBytes, save ) == imageBytes;
			DTFclose( save );
		}
		// The restart restores it, as the replay's does: logic may change
		// the state in the rest of this frame.
		mpRestartImage = image;
		mui32RestartImageBytes = imageBytes;
	}
	if ( !imageStored && file != nullptr ) {
		// A save file an earlier recording left (or part of this one's)
		// would join this demo as its image, and its replay would restore
		// that other state.
		DTUnlink( EF_DEMO_SAVE_FILE );
	}
	mui32Countdown = EF_DEMO_COUNTDOWN_FRAMES;
	mui32State = EF_DEMO_RECORD_REQUESTED;
}

void EFDemoLoop::EndFrame() {
	if ( mui32State == EF_DEMO_RECORDING || mui32State == EF_DEMO_RECORD_COUNTDOWN ) {
		// A record refused for want of room leaves the cursor past the
		// limit too, so a full buffer always ends here.
		if ( mpCursor < mpBuffer + EF_DEMO_BLOCK_LIMIT ) {
			StartBlock( mpCursor );
		} else {
			Stop();
		}
		return;
	}
	if ( mui32State == EF_DEMO_RECORD_REQUESTED ) {
		gpoEngineController->Reset();
		HandOver( mpRestartImage, mui32RestartImageBytes );
		mpRestartImage = nullptr;
		mui32RestartImageBytes = 0;
		gpoEngineController->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
		mui32State = EF_DEMO_RECORD_COUNTDOWN;
		mbRestarting = true;
	}
}

void EFDemoLoop::HandOver( char* image, const u32 bytes ) {
	if ( char* const pending = gpoEngineController->GetPendingSaveImage() ) {
		MMFree( pending );
	}
	gpoEngineController->SetPendingSaveImage( image, bytes );
}

void EFDemoLoop::BeginLevel() {
	if ( !mbRestarting ) {
		return;
	}
	mbRestarting = false;
	// The seed was set where the demo was asked for, but the rest of that
	// frame and the emptying of the level draw differently in a recording
	// and in its replay: both start the level from the seed itself.
	RuntimeSrand( mui32Seed );
	// Ids of spawned objects and timers run on across levels: from where
	// each run happened to leave them, they would differ.
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->RestartIds();
	}
	// Objects re-normalise their frames in turns counted from the first
	// object ever made: the level's objects take the same turns in every
	// run only when the count starts again with them.
	EFGameObject::msui8OrthonormalizeFrameBase = 0;
}

void EFDemoLoop::StartFrame() {
	mui32FrameCounter++;
	if ( mui32State == EF_DEMO_IDLE ) {
		return;
	}
	if ( mui32State == EF_DEMO_PLAY_COUNTDOWN ) {
		if ( mui32Countdown > 0 ) {
			mui32Countdown--;
		}
		if ( mui32Countdown == 0 ) {
			gpoPlayerDeviceMgr->DemoKeyInit();
			mui32State = EF_DEMO_PLAYING;
		}
	}
	if ( mui32State == EF_DEMO_RECORD_COUNTDOWN ) {
		if ( mui32Countdown > 0 ) {
			mui32Countdown--;
		}
		if ( mui32Countdown == 0 ) {
			mui32State = EF_DEMO_RECORDING;
		}
	}
	if ( ( mui32State != EF_DEMO_PLAYING && mui32State != EF_DEMO_PLAY_COUNTDOWN ) || mpBuffer == nullptr ) {
		return;
	}
	if ( mui32State == EF_DEMO_PLAYING && gpoPlayerDeviceMgr->DemoKeyPool() == 1 ) {
		mui32State = EF_DEMO_STOPPED;
		End();
		return;
	}
	// The cursor marks the end of the demo data: a block or a record that
	// would pass it ends the replay as the final block does.
	u8* const next = mpBlock == nullptr ? mpBuffer + EF_DEMO_HEADER_BYTES : BlockEnd( mpBlock );
	const u32 left = static_cast<u32>( mpCursor - next );
	if ( next > mpCursor || left < EF_DEMO_BLOCK_BYTES ||
		 DTReadBE16( next + BLOCK_COUNT_OFFSET ) * EF_DEMO_RECORD_BYTES > left - EF_DEMO_BLOCK_BYTES ) {
		mpBlock = nullptr;
		End();
		return;
	}
	mpBlock = next;
	mpFirstRecord = next + EF_DEMO_BLOCK_BYTES;
	if ( DTReadBE16( mpBlock ) == EF_DEMO_FINAL_MARKER ) {
		End();
	}
}

void EFDemoLoop::UpdateDeltaTime( f32* dt ) {
	if ( mpBlock == nullptr ) {
		return;
	}
	if ( mui32State == EF_DEMO_PLAYING || mui32State == EF_DEMO_PLAY_COUNTDOWN ) {
		*dt = DTReadBEF32( mpBlock + BLOCK_STEP_OFFSET );
	} else if ( mui32State == EF_DEMO_RECORDING || mui32State == EF_DEMO_RECORD_COUNTDOWN ) {
		DTWriteBEF32( mpBlock + BLOCK_STEP_OFFSET, *dt );
	}
}

void EFDemoLoop::UpdateAction( s32* id, ActionState* previous, ActionState* current ) {
	if ( mpBlock == nullptr ) {
		return;
	}
	// The countdowns too: logic reads actions in those frames, and a value
	// an action takes there (an idle button's "up") would otherwise replay
	// as zero until the action next changes. Demos stored without
	// countdown records replay as they did.
	if ( mui32State == EF_DEMO_RECORDING || mui32State == EF_DEMO_RECORD_COUNTDOWN ) {
		// Byte for byte: -0.0 against 0.0 and NaN patterns are changes.
		if ( std::memcmp( previous, current, sizeof( ActionState ) ) != 0 ) {
			DemoActionDef action;
			action.mui16Id = static_cast<u16>( *id );
			action.moState = *current;
			AddAction( &action );
		}
		return;
	}
	if ( mui32State != EF_DEMO_PLAYING && mui32State != EF_DEMO_PLAY_COUNTDOWN ) {
		return;
	}
	// Stored ids are 16 bits, compared with the full id.
	const u32 count = DTReadBE16( mpBlock + BLOCK_COUNT_OFFSET );
	for ( u32 i = 0; i < count; i++ ) {
		const u8* const record = mpFirstRecord + i * EF_DEMO_RECORD_BYTES;
		if ( static_cast<u32>( DTReadBE16( record ) ) == static_cast<u32>( *id ) ) {
			current->x = DTReadBEF32( record + RECORD_X_OFFSET );
			current->y = DTReadBEF32( record + RECORD_Y_OFFSET );
			current->flags = DTReadBE32( record + RECORD_FLAGS_OFFSET );
			return;
		}
	}
}

u32 EFDemoLoop::AddAction( DemoActionDef* action ) {
	if ( mpBlock == nullptr || mpBuffer == nullptr ) {
		return 0;
	}
	const u32 count = DTReadBE16( mpBlock + BLOCK_COUNT_OFFSET );
	// The final block must still fit behind the records.
	if ( mpCursor + EF_DEMO_RECORD_BYTES + EF_DEMO_BLOCK_BYTES > mpBuffer + EF_DEMO_BUFFER_BYTES ) {
		return count;
	}
	DTWriteBE16( mpCursor, action->mui16Id );
	DTWriteBE16( mpCursor + 2, 0 );
	DTWriteBEF32( mpCursor + RECORD_X_OFFSET, action->moState.x );
	DTWriteBEF32( mpCursor + RECORD_Y_OFFSET, action->moState.y );
	DTWriteBE32( mpCursor + RECORD_FLAGS_OFFSET, action->moState.flags );
	mpCursor += EF_DEMO_RECORD_BYTES;
	DTWriteBE16( mpBlock + BLOCK_COUNT_OFFSET, static_cast<u16>( count + 1 ) );
	return count;
}

void EFDemoLoop::Play( char* path, char* level ) {
	mui32FrameCounter = 0;
	Stop();
	DTFileHandle_* const file = DTFopen( path, "rb" );
	if ( file == nullptr ) {
		DTPrintf( "DEMO FILE %s NOT FOUND!!!\n", path != nullptr ? path : "" );
		return;
	}
	mpoFile = file;
	LoadDemo( level );
	CloseFile();
	if ( mpBuffer == nullptr ) {
		return;
	}
	mui32Countdown = EF_DEMO_COUNTDOWN_FRAMES;
	mui32State = EF_DEMO_PLAY_COUNTDOWN;
	mbRestarting = true;
}

void EFDemoLoop::LoadDemo( char* level ) {
	const u32 size = DTFsize( mpoFile );
	if ( size < SMALLEST_FILE_BYTES ) {
		DTPrintf( "DEMO FILE TOO SHORT (%u BYTES)!!!\n", size );
		return;
	}
	const u32 total = size - LENGTH_WORD_BYTES;
	u8 word[LENGTH_WORD_BYTES];
	DTFseek( mpoFile, static_cast<s32>( total ), DT_SEEK_SET );
	if ( DTFread( word, 1, LENGTH_WORD_BYTES, mpoFile ) != LENGTH_WORD_BYTES ) {
		DTPrintf( "DEMO FILE NOT READ!!!\n" );
		return;
	}
	const u32 dataBytes = DTReadBE32( word );
	if ( dataBytes < EF_DEMO_HEADER_BYTES || dataBytes > total ) {
		DTPrintf( "DEMO DATA LENGTH %u OUT OF RANGE!!!\n", dataBytes );
		return;
	}
	const u32 imageBytes = total - dataBytes;
	u8* const data = static_cast<u8*>( MMMalloc( dataBytes ) );
	char* const image = imageBytes > 0 ? static_cast<char*>( MMMalloc( imageBytes ) ) : nullptr;
	if ( data == nullptr || ( imageBytes > 0 && image == nullptr ) ) {
		DTPrintf( "NO MEMORY TO REPLAY A DEMO!!!\n" );
		MMFree( data );
		MMFree( image );
		return;
	}
	DTFseek( mpoFile, 0, DT_SEEK_SET );
	if ( DTFread( data, 1, dataBytes, mpoFile ) != dataBytes ||
		 ( imageBytes > 0 && DTFread( image, 1, imageBytes, mpoFile ) != imageBytes ) ) {
		DTPrintf( "DEMO FILE NOT READ!!!\n" );
		MMFree( data );
		MMFree( image );
		return;
	}
	mpBuffer = data;
	mpHeader = data;
	mpCursor = data + dataBytes;
	mpBlock = nullptr;
	mpFirstRecord = nullptr;
	mui32Seed = DTReadBE32( mpHeader + HEADER_SEED_OFFSET );
	RuntimeSrand( mui32Seed );

	// A level given replaces the recorded one; the checksums are made
	// again so that the image is still accepted, but only over a size the
	// image really has (else it stays as it was and is refused).
	if ( image != nullptr && level != nullptr && level[0] != '\0' &&
		 imageBytes >= EF_SAVE_LEVEL_NAME_OFFSET + EF_SAVE_LEVEL_NAME_SIZE ) {
		std::memset( image + EF_SAVE_LEVEL_NAME_OFFSET, 0, EF_SAVE_LEVEL_NAME_SIZE );
		CopyBounded( image + EF_SAVE_LEVEL_NAME_OFFSET, EF_DEMO_LEVEL_NAME_MAX + 1, level );
		const u32 storedSize = DTReadBE32( reinterpret_cast<const u8*>( image ) + SAVE_IMAGE_SIZE_OFFSET );
		if ( storedSize >= EF_SAVE_HEADER_BYTES && storedSize <= imageBytes ) {
			EFLoadSaveBuff::StampCrcs( image );
		}
	}
	HandOver( image, imageBytes );
	gpoEngineController->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
}

void EFDemoLoop::End() {
	if ( mui32CallbackObject != EF_DEMO_NO_CALLBACK && gpoWorldMgr != nullptr ) {
		// The object may have gone since it registered (a replay restarts
		// the level): only the object of that id now is called.
		EFGameObject* const object = gpoWorldMgr->FindGameObject( mui32CallbackObject );
		if ( object != nullptr ) {
			EFLogicCallbackRecord record = EFLogicCallbackRecordOf( object, mui32CallbackIndex );
			const u32 stoppedByPlayer = mui32State == EF_DEMO_STOPPED ? 1 : 0;
			EFGameLogicMgr::ExecLogicCallback( &record, reinterpret_cast<void*>( static_cast<uintptr_t>( stoppedByPlayer ) ) );
		}
	}
	Stop();
	if ( mszAbortLevel[0] != '\0' ) {
		gpoEngineController->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
		gpoRessourcesMgr->SetResFilename( mszAbortLevel );
	}
}

void EFDemoLoop::Stop() {
	CleanUp();
	mui32State = EF_DEMO_IDLE;
}

void EFDemoLoop::CleanUp() {
	// Idle first: nothing below may end the recording a second time.
	const u32 state = mui32State;
	mui32State = EF_DEMO_IDLE;
	mbRestarting = false;
	if ( state == EF_DEMO_RECORDING && mpBuffer != nullptr ) {
		// With records, the final block follows them (AddAction kept room
		// for it); else the current block becomes the final block.
		u8* const final = DTReadBE16( mpBlock + BLOCK_COUNT_OFFSET ) > 0 ? mpCursor : mpBlock;
		DTWriteBE16( final, EF_DEMO_FINAL_MARKER );
		DTWriteBE16( final + BLOCK_COUNT_OFFSET, 0 );
		DTWriteBEF32( final + BLOCK_STEP_OFFSET, 0.0f );
		mpCursor = final + EF_DEMO_BLOCK_BYTES;
		if ( HasFile() ) {
			MergeSaveFile();
		}
	}
	CloseFile();
	MMFree( mpRestartImage );
	mpRestartImage = nullptr;
	mui32RestartImageBytes = 0;
	MMFree( mpBuffer );
	mpBuffer = nullptr;
	mpCursor = nullptr;
	mpHeader = nullptr;
	mpBlock = nullptr;
	mpFirstRecord = nullptr;
}

void EFDemoLoop::MergeSaveFile() {
	const u32 dataBytes = static_cast<u32>( mpCursor - mpBuffer );
	DTFwrite( mpBuffer, 1, dataBytes, mpoFile );
	DTFileHandle_* const save = DTFopen( EF_DEMO_SAVE_FILE, "r" );
	if ( save != nullptr ) {
		u8 piece[EF_DEMO_COPY_BYTES];
		for ( u32 got = DTFread( piece, 1, sizeof( piece ), save ); got > 0;
			  got = DTFread( piece, 1, sizeof( piece ), save ) ) {
			DTFwrite( piece, 1, got, mpoFile );
		}
		DTFclose( save );
	}
	u8 word[LENGTH_WORD_BYTES];
	DTWriteBE32( word, dataBytes );
	DTFwrite( word, 1, sizeof( word ), mpoFile );
	DTUnlink( EF_DEMO_SAVE_FILE );
}

void EFDemoLoop::InitializeCallback( const u32 objectId, const u32 index ) {
	mui32CallbackObject = EF_DEMO_NO_CALLBACK;
	mui32CallbackIndex = EF_DEMO_NO_CALLBACK;
	if ( objectId == 0 || index == 0 || gpoWorldMgr == nullptr ) {
		return;
	}
	// The running object, or a group's first: kept by its own id.
	EFGameObject* const object = gpoWorldMgr->GetGameObject( objectId );
	if ( object == nullptr ) {
		return;
	}
	mui32CallbackObject = object->GetUID();
	mui32CallbackIndex = index;
}

void EFDemoLoop::SetAbortLevel( char* level ) {
	CopyBounded( mszAbortLevel, sizeof( mszAbortLevel ),
				 level != nullptr && level[0] != '\0' ? level : CurrentResFilename() );
}
