#include "video/m4/M4Image.h"

#include "platform/os/OS.h"
#include "video/m4/M4Memory.h"

#include <cstring>

M4Image*	M4Image::sRequests[M4_IMAGE_MAX_REQUESTS];
u32			M4Image::sRequestCount = 0;

static u16 M4PaddedSize( const u16 size ) {
	return static_cast<u16>( ( ( size + 15u ) & ~15u ) + 2 * M4_IMAGE_BORDER );
}

// Largest pool the allocation hook can be asked for.
constexpr u64 M4_POOL_MAX = 0xFFFFFFFFull;

bool M4Image::init( const u16 width, const u16 height ) {
	if ( width == 0 || height == 0 || width > M4_IMAGE_MAX_SIZE || height > M4_IMAGE_MAX_SIZE ) {
		OSReport( "M4Image: picture size %u x %u refused\n", width, height );
		return false;
	}
	mWidth = width;
	mHeight = height;
	mPaddedWidth = M4PaddedSize( width );
	mPaddedHeight = M4PaddedSize( height );
	mY = mU = mV = nullptr;
	mPlaneY = mPlaneU = mPlaneV = nullptr;
	return addMemRequest( this );
}

u64 M4Image::byteSize() const {
	const u64 luma = static_cast<u64>( mPaddedWidth ) * mPaddedHeight;
	return luma + luma / 2 + 3 * M4_IMAGE_PLANE_GAP;
}

void M4Image::place( u8* memory ) {
	const u32 luma = static_cast<u32>( mPaddedWidth ) * mPaddedHeight;
	const u32 chroma = luma / 4;
	mPlaneY = memory;
	mPlaneU = mPlaneY + luma + M4_IMAGE_PLANE_GAP;
	mPlaneV = mPlaneU + chroma + M4_IMAGE_PLANE_GAP;
	mY = mPlaneY + M4TiledOffset( M4_IMAGE_BORDER, M4_IMAGE_BORDER, mPaddedWidth );
	mU = mPlaneU + M4TiledOffset( M4_IMAGE_BORDER / 2, M4_IMAGE_BORDER / 2, mPaddedWidth / 2u );
	mV = mPlaneV + M4TiledOffset( M4_IMAGE_BORDER / 2, M4_IMAGE_BORDER / 2, mPaddedWidth / 2u );
	std::memset( mPlaneY, M4_IMAGE_BLACK_LUMA, luma );
	std::memset( mPlaneU, M4_IMAGE_BLACK_CHROMA, chroma );
	std::memset( mPlaneV, M4_IMAGE_BLACK_CHROMA, chroma );
}

void M4Image::initMallocPool() {
	sRequestCount = 0;
}

bool M4Image::addMemRequest( M4Image* image ) {
	if ( sRequestCount >= M4_IMAGE_MAX_REQUESTS ) {
		OSReport( "M4Image: picture pool full, request refused\n" );
		return false;
	}
	sRequests[sRequestCount++] = image;
	return true;
}

void* M4Image::mallocPool() {
	u64 total = 0;
	for ( u32 i = 0; i < sRequestCount; i++ ) {
		total += sRequests[i]->byteSize();
	}
	if ( total > M4_POOL_MAX ) {
		return nullptr;
	}
	u8* const pool = static_cast<u8*>( M4Malloc( static_cast<u32>( total ) ) );
	if ( pool == nullptr ) {
		return nullptr;
	}
	u8* next = pool;
	for ( u32 i = 0; i < sRequestCount; i++ ) {
		sRequests[i]->place( next );
		next += sRequests[i]->byteSize();
	}
	return pool;
}

void M4Image::freePool( void* pool ) {
	M4Free( pool );
}
