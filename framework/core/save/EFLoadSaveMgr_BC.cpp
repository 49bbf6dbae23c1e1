#include "framework/core/save/EFLoadSaveMgr_BC.h"

#include "datatypes/memory/MMMemory.h"

#include <cstring>

namespace {

// A temporary buffer's header before the user bytes: the next replaced
// buffer and the user size. 16 bytes keep the user bytes aligned as the
// allocator's blocks are.
constexpr u32 TEMP_HEADER_BYTES = 16;

u8*& NextReplaced( u8* block ) {
	return *reinterpret_cast<u8**>( block );
}

u32 TempSize( const u8* block ) {
	u32 size = 0;
	std::memcpy( &size, block + sizeof( u8* ), sizeof( size ) );
	return size;
}

u32 CommandId( const EFLoadSaveWord word ) {
	return static_cast<u32>( word ) & EF_LS_COMMAND_ID_MASK;
}

u32 CommandArgc( const EFLoadSaveWord word ) {
	return ( static_cast<u32>( word ) & EF_LS_ARGC_MASK ) >> EF_LS_ARGC_SHIFT;
}

} // namespace

EFLoadSaveMgr_BC::EFLoadSaveMgr_BC()
	: mpcFileName( nullptr ), mpvData( nullptr ), mpvReadBuffer( nullptr ), mpvSecondBuffer( nullptr ),
	  mui32DataSize( 0 ), mui32Status( 0 ), mi32LastError( 0 ), moDirectory(), mui32CheckSum( 0 ), mauiQueue(),
	  mi32Tail( EF_LS_QUEUE_MIDDLE ), mi32Head( EF_LS_QUEUE_MIDDLE ), mi32Current( EF_LS_QUEUE_MIDDLE ),
	  mui32MarkedCommand( 0 ), mpui8UserTempBuffer( nullptr ), mpui8ReplacedTempBuffers( nullptr ),
	  mpfnErrorCallBack( nullptr ), mpfnCompleteCallBack( nullptr ) {
}

EFLoadSaveMgr_BC::~EFLoadSaveMgr_BC() {
	Clean();
	DestroyUserTempBuffer();
}

// --- Queue ---

u32 EFLoadSaveMgr_BC::RegisterAction( const void* action, const s32 mode ) {
	if ( action == nullptr ) {
		return 0;
	}
	const EFLoadSaveWord* const words = static_cast<const EFLoadSaveWord*>( action );
	const s32 count = static_cast<s32>( CommandArgc( words[0] ) ) + 1;
	if ( mode == EF_LS_APPEND ) {
		if ( mi32Tail + count > static_cast<s32>( EF_LS_QUEUE_WORDS ) ) {
			return 0;
		}
		std::memcpy( &mauiQueue[mi32Tail], words, sizeof( EFLoadSaveWord ) * static_cast<u32>( count ) );
		mi32Tail += count;
		return 1;
	}
	if ( mi32Head - count < 0 ) {
		return 0;
	}
	mi32Head -= count;
	std::memcpy( &mauiQueue[mi32Head], words, sizeof( EFLoadSaveWord ) * static_cast<u32>( count ) );
	return 1;
}

u32 EFLoadSaveMgr_BC::GetAction() {
	while ( mi32Head < mi32Tail && ( mauiQueue[mi32Head] & EF_LS_COMMAND_FINISHED ) != 0 ) {
		mi32Head += static_cast<s32>( CommandArgc( mauiQueue[mi32Head] ) ) + 1;
	}
	if ( mi32Head >= mi32Tail ) {
		mi32Head = mi32Tail;
		mi32Current = mi32Head;
		return 0;
	}
	mi32Current = mi32Head;
	const EFLoadSaveWord word = mauiQueue[mi32Head];
	if ( ( word & EF_LS_COMMAND_MARK ) != 0 ) {
		mui32MarkedCommand = CommandId( word );
	}
	return CommandId( word );
}

EFLoadSaveWord* EFLoadSaveMgr_BC::GetArgPtr() {
	return &mauiQueue[mi32Head];
}

u32 EFLoadSaveMgr_BC::IsAction() {
	if ( mi32Head < mi32Tail ) {
		return 1;
	}
	ResetAction();
	return 0;
}

u32 EFLoadSaveMgr_BC::UnRegisterAction() {
	if ( mi32Head >= mi32Tail ) {
		return 0;
	}
	if ( mi32Current == mi32Head ) {
		mi32Head += static_cast<s32>( CommandArgc( mauiQueue[mi32Head] ) ) + 1;
		if ( mi32Head > mi32Tail ) {
			mi32Head = mi32Tail;
		}
	} else {
		mauiQueue[mi32Current] |= EF_LS_COMMAND_FINISHED;
	}
	return 1;
}

void EFLoadSaveMgr_BC::ResetAction() {
	mi32Tail = EF_LS_QUEUE_MIDDLE;
	mi32Head = EF_LS_QUEUE_MIDDLE;
	mi32Current = EF_LS_QUEUE_MIDDLE;
}

u32 EFLoadSaveMgr_BC::GetLastAction() const {
	return mi32Head < mi32Tail ? CommandId( mauiQueue[mi32Current] ) : 0;
}

EFLoadSaveWord EFLoadSaveMgr_BC::Arg( const EFLoadSaveWord* action, const u32 index ) {
	return index < ArgCount( action ) ? action[1 + index] : 0;
}

u32 EFLoadSaveMgr_BC::ArgCount( const EFLoadSaveWord* action ) {
	return CommandArgc( action[0] );
}

// --- Completion ---

void EFLoadSaveMgr_BC::CallBack( const LogicSaveCallbackFn callBack ) {
	if ( callBack != nullptr ) {
		SG_CBParamDef params;
		params.uiState = GetLastCommand();
		params.uiLastError = static_cast<u32>( mi32LastError );
		callBack( &params );
	}
}

void EFLoadSaveMgr_BC::ProcessError() {
	ResetAction();
	CallBack( mpfnErrorCallBack );
	Clean();
}

void EFLoadSaveMgr_BC::CommandsCompleted() {
	CallBack( mpfnCompleteCallBack );
	Clean();
}

void EFLoadSaveMgr_BC::FreeReadBuffer() {
	MMFree( mpvReadBuffer );
	mpvReadBuffer = nullptr;
}

void EFLoadSaveMgr_BC::Clean() {
	MMFree( mpvSecondBuffer );
	mpvSecondBuffer = nullptr;
	FreeReadBuffer();
	FreeReplacedTempBuffers();
}

void EFLoadSaveMgr_BC::SetError( const s32 error ) {
	mi32LastError = error;
	mui32Status |= EF_LS_STATUS_ERROR;
}

// --- Checksums ---

u32 EFLoadSaveMgr_BC::ComputeCheckSum() {
	mui32CheckSum = mpvData != nullptr ? ComputeCrc( static_cast<const char*>( mpvData ), mui32DataSize ) : ComputeCrc( "", 0 );
	return 0;
}

u32 EFLoadSaveMgr_BC::VerifyCheckSum() {
	if ( mpvReadBuffer == nullptr && mui32DataSize != 0 ) {
		SetError( EF_LS_ERROR_CORRUPT_FILE );
		return 0;
	}
	const u32 crc = mpvReadBuffer != nullptr ? ComputeCrc( static_cast<const char*>( mpvReadBuffer ), mui32DataSize )
											 : ComputeCrc( "", 0 );
	if ( crc != mui32CheckSum ) {
		SetError( EF_LS_ERROR_CORRUPT_FILE );
	}
	return 0;
}

u32 EFLoadSaveMgr_BC::GetFreeMem() {
	return 0;
}

// --- Buffers handed to logic ---

void* EFLoadSaveMgr_BC::GetUserTempBuffer( const s32 size ) {
	const u32 wanted = size > 0 ? static_cast<u32>( size ) : 0;
	if ( mpui8UserTempBuffer != nullptr && wanted <= TempSize( mpui8UserTempBuffer ) ) {
		return mpui8UserTempBuffer + TEMP_HEADER_BYTES;
	}
	if ( wanted > 0xFFFFFFFFu - TEMP_HEADER_BYTES ) {
		return nullptr;
	}
	u8* const block = static_cast<u8*>( MMMalloc( wanted + TEMP_HEADER_BYTES ) );
	if ( block == nullptr ) {
		return nullptr;
	}
	NextReplaced( block ) = nullptr;
	std::memcpy( block + sizeof( u8* ), &wanted, sizeof( wanted ) );
	if ( mpui8UserTempBuffer != nullptr ) {
		std::memcpy( block + TEMP_HEADER_BYTES, mpui8UserTempBuffer + TEMP_HEADER_BYTES, TempSize( mpui8UserTempBuffer ) );
		NextReplaced( mpui8UserTempBuffer ) = mpui8ReplacedTempBuffers;
		mpui8ReplacedTempBuffers = mpui8UserTempBuffer;
	}
	mpui8UserTempBuffer = block;
	return block + TEMP_HEADER_BYTES;
}

void EFLoadSaveMgr_BC::FreeReplacedTempBuffers() {
	while ( mpui8ReplacedTempBuffers != nullptr ) {
		u8* const next = NextReplaced( mpui8ReplacedTempBuffers );
		MMFree( mpui8ReplacedTempBuffers );
		mpui8ReplacedTempBuffers = next;
	}
}

void EFLoadSaveMgr_BC::DestroyUserTempBuffer() {
	MMFree( mpui8UserTempBuffer );
	mpui8UserTempBuffer = nullptr;
	FreeReplacedTempBuffers();
}

void EFLoadSaveMgr_BC::DestroyReadBuffer() {
	FreeReadBuffer();
}

void EFLoadSaveMgr_BC::SetErrorCallBack( const LogicSaveCallbackFn callBack ) {
	mpfnErrorCallBack = callBack;
}

void EFLoadSaveMgr_BC::SetCompleteCallBack( const LogicSaveCallbackFn callBack ) {
	mpfnCompleteCallBack = callBack;
}

// --- Frame ---

u32 EFLoadSaveMgr_BC::Initialize() {
	mpcFileName = nullptr;
	mpvData = nullptr;
	Clean();
	DestroyUserTempBuffer();
	mui32DataSize = 0;
	mui32Status = 0;
	mi32LastError = 0;
	std::memset( moDirectory, 0, sizeof( moDirectory ) );
	mui32CheckSum = 0;
	ResetAction();
	mui32MarkedCommand = 0;
	mpfnErrorCallBack = nullptr;
	mpfnCompleteCallBack = nullptr;
	return SpecificInitialize();
}

void EFLoadSaveMgr_BC::Update() {
	SpecificUpdate();
}
