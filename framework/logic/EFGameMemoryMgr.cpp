#include "framework/logic/EFGameMemoryMgr.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFGameBuffer.h"

#include <cstring>
#include <new>

EFGameMemoryMgr::EFGameMemoryMgr() : moBuffers( BufferMap::DEFAULT_TABLE_SIZE ), mpLogicBlock( nullptr ), mpCursor( nullptr ) {
	// The block lives as long as the manager, past every level.
	MMSwapToGlobalHeap();
	mpLogicBlock = static_cast<u8 *>( MMMalloc( EF_LOGIC_BLOCK_BYTES ) );
	MMReplaceHeap();
	if ( mpLogicBlock == nullptr ) {
		DTPrintf( "GAME MEMORY: NO MEMORY FOR THE LOGIC BLOCK!!!\n" );
		return;
	}
	std::memset( mpLogicBlock, 0, EF_LOGIC_BLOCK_BYTES );
}

EFGameMemoryMgr::~EFGameMemoryMgr() {
	ClearAllBuffers();
}

void * EFGameMemoryMgr::GetGameBuffer( const u32 id, const u32 size, const u32 persistent ) {
	EFGameBuffer * const existing = GetGameBufferObject( id );
	if ( existing != nullptr ) {
		existing->SetCount( existing->GetCount() + 1 );
		return existing->GetData();
	}
	MMSwapToGlobalHeap();
	EFGameBuffer * const buffer = new ( std::nothrow ) EFGameBuffer;
	if ( buffer == nullptr || !buffer->Create( id, size, persistent != 0 ) || !moBuffers.Set( id, buffer ) ) {
		delete buffer;
		MMReplaceHeap();
		DTPrintf( "GAME BUFFER %08X OF %u BYTES COULD NOT BE MADE!!!\n", id, size );
		return nullptr;
	}
	buffer->SetCount( 1 );
	MMReplaceHeap();
	return buffer->GetData();
}

EFGameBuffer * EFGameMemoryMgr::GetGameBufferObject( const u32 id ) const {
	const BufferMap::Node * const node = moBuffers.Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

void EFGameMemoryMgr::FreeGameBuffer( const u32 id ) {
	BufferMap::Node * const node = moBuffers.Find( id );
	if ( node == nullptr ) {
		return;
	}
	EFGameBuffer * const buffer = node->mValue;
	const u32 count = buffer->GetCount();
	if ( count > 0 ) {
		buffer->SetCount( count - 1 );
		return;
	}
	if ( !buffer->IsPersistent() ) {
		DeleteBuffer( node );
	}
}

void EFGameMemoryMgr::DeleteBuffer( BufferMap::Node * node ) {
	if ( node == mpCursor ) {
		mpCursor = nullptr;
	}
	const u32 id = node->mKey;
	delete node->mValue;
	moBuffers.Remove( id );
}

void EFGameMemoryMgr::KillAllGameBuffers() {
	for ( BufferMap::Node * node = moBuffers.GetFirst(); node != nullptr; node = moBuffers.GetNext( node ) ) {
		delete node->mValue;
		node->mValue = nullptr;
	}
	moBuffers.RemoveAll();
	mpCursor = nullptr;
}

void EFGameMemoryMgr::ClearAllBuffers() {
	MMFree( mpLogicBlock );
	mpLogicBlock = nullptr;
	KillAllGameBuffers();
}

void EFGameMemoryMgr::Terminate() {
	BufferMap::Node * node = moBuffers.GetFirst();
	while ( node != nullptr ) {
		BufferMap::Node * const next = moBuffers.GetNext( node );
		if ( !node->mValue->IsPersistent() ) {
			DeleteBuffer( node );
		}
		node = next;
	}
}

EFGameBuffer * EFGameMemoryMgr::GetFirstBuffer() {
	mpCursor = moBuffers.GetFirst();
	return mpCursor != nullptr ? mpCursor->mValue : nullptr;
}

EFGameBuffer * EFGameMemoryMgr::GetNextBuffer() {
	if ( mpCursor == nullptr ) {
		return nullptr;
	}
	mpCursor = moBuffers.GetNext( mpCursor );
	return mpCursor != nullptr ? mpCursor->mValue : nullptr;
}
