/*
===============================================================================

	Game memory: the game buffers of logic, by id, and the 1024-byte logic
	block, both written into saved games. A member of the game logic
	manager.

	Buffers are made in the global heap (handle, block and map entry), so
	the level heap's reset does not touch them. The first request for an
	id decides its size and persistence; later requests only count a
	reference. A buffer obtained n times is deleted by its (n + 1)-th free
	unless it is persistent. At a level's end Terminate deletes every
	buffer that is not persistent, whatever its count.

	GetFirstBuffer and GetNextBuffer walk the buffers in map order (bucket
	by bucket, each chain from its head). A walk ends early when the
	buffer it stands on is deleted.

===============================================================================
*/
#ifndef EF_GAME_MEMORY_MGR_H
#define EF_GAME_MEMORY_MGR_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/streamable/DTStreamable.h"

class EFGameBuffer;

constexpr u32 EF_LOGIC_BLOCK_BYTES = 1024;

class EFGameMemoryMgr : public DTStreamable {
public:
	typedef DTMap<u32, EFGameBuffer *>	BufferMap;

							EFGameMemoryMgr();
	// ClearAllBuffers.
	virtual					~EFGameMemoryMgr();

	// The data of buffer id, made (zeroed, count 1) when there is none;
	// an existing buffer counts one more reference and keeps its size and
	// persistence. Null, with nothing made, when the buffer cannot be.
	void *					GetGameBuffer( u32 id, u32 size, u32 persistent );
	// Null for an unknown id.
	EFGameBuffer *			GetGameBufferObject( u32 id ) const;
	// Releases one reference; see above.
	void					FreeGameBuffer( u32 id );
	// Deletes every buffer.
	void					KillAllGameBuffers();
	// Frees the logic block, then deletes every buffer.
	void					ClearAllBuffers();
	// End of a level: deletes every buffer that is not persistent.
	void					Terminate();

	EFGameBuffer *			GetFirstBuffer();
	EFGameBuffer *			GetNextBuffer();
	u32						GetBufferCount() const { return moBuffers.GetCount(); }

	// EF_LOGIC_BLOCK_BYTES bytes; null after ClearAllBuffers.
	u8 *					GetLogicBlock() const { return mpLogicBlock; }

private:
	// Deletes the buffer of node and its entry.
	void					DeleteBuffer( BufferMap::Node * node );

	BufferMap				moBuffers;
	u8 *					mpLogicBlock;
	const BufferMap::Node *	mpCursor;
};

#endif
