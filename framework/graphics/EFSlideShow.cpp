#include "framework/graphics/EFSlideShow.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EFCamera.h"
#include "platform/host/HostEventQueue.h"

#include <cstdio>

EFSlideShow * EFSlideShow::poSlideShow = nullptr;

EFSlideShow::EFSlideShow( const u32 count )
	: muiSlideCount( count / EF_SLIDES_PER_BLOCK * EF_SLIDES_PER_BLOCK ), muiCurrentSlide( 0 ),
	  muiBlockCount( count / EF_SLIDES_PER_BLOCK ), muiPreviousNumber( 0 ), muiCurrentNumber( 0 ), muiNextNumber( 0 ),
	  mpcNames( nullptr ), mpoPreviousBlock( nullptr ), mpoCurrentBlock( nullptr ), mpoNextBlock( nullptr ),
	  muiBufferSize( EF_SLIDE_BUFFER_BYTES ), mpBuffer( nullptr ), muiState( EF_SLIDE_STATE_LOADING ),
	  muiLoadStep( 0 ), mpoNotified( nullptr ), mpoCamera( nullptr ) {
	mpcNames = static_cast<char *>( MMCalloc( muiBlockCount, EF_SLIDE_NAME_BYTES ) );
	for ( u32 k = 0; k < muiBlockCount && mpcNames != nullptr; k++ ) {
		std::snprintf( Name( k ), EF_SLIDE_NAME_BYTES, "SLIDE%u.SLD", k );
	}
	mpBuffer = MMMalloc( muiBufferSize );
	if ( mpBuffer == nullptr ) {
		muiBufferSize = 0;
	}
	if ( mpcNames != nullptr ) {
		StreamBlock( Name( 0 ) );
	}
}

EFSlideShow::~EFSlideShow() {
	delete mpoCamera;
	// The resident blocks go with the show; their textures stay in the
	// dictionary until the level's dictionary goes.
	delete mpoPreviousBlock;
	delete mpoCurrentBlock;
	delete mpoNextBlock;
	MMFree( mpBuffer );
	MMFree( mpcNames );
}

void EFSlideShow::Create( const u32 count ) {
	if ( poSlideShow != nullptr || count < EF_SLIDES_PER_BLOCK ) {
		return;
	}
	poSlideShow = new EFSlideShow( count );
}

void EFSlideShow::Destroy() {
	delete poSlideShow;
	poSlideShow = nullptr;
}

u32 EFSlideShow::Next() {
	EFSlideShow * const show = poSlideShow;
	if ( show == nullptr || show->muiState != EF_SLIDE_STATE_READY ) {
		return 0;
	}
	show->muiCurrentSlide = ( show->muiCurrentSlide + 1 ) % show->muiSlideCount;
	show->SetSlide( show->muiCurrentSlide );
	return 1;
}

u32 EFSlideShow::Prev() {
	EFSlideShow * const show = poSlideShow;
	if ( show == nullptr || show->muiState != EF_SLIDE_STATE_READY ) {
		return 0;
	}
	show->muiCurrentSlide = ( show->muiCurrentSlide + show->muiSlideCount - 1 ) % show->muiSlideCount;
	show->SetSlide( show->muiCurrentSlide );
	return 1;
}

void EFSlideShow::SetGameObj( EFGameObject * object ) {
	if ( poSlideShow != nullptr ) {
		poSlideShow->mpoNotified = object;
	}
}

void EFSlideShow::Render() {
	EFSlideShow * const show = poSlideShow;
	if ( show == nullptr ) {
		return;
	}
	if ( show->muiState != EF_SLIDE_STATE_READY ) {
		show->Update();
		return;
	}
	show->mpoCamera->Begin();
	show->mpoCurrentBlock->Render();
	show->mpoCamera->End();
}

EFSlideBlock * EFSlideShow::NewBlock( const u32 number ) {
	EFSlideBlock * const block = new EFSlideBlock;
	block->muiFirst = number * EF_SLIDES_PER_BLOCK;
	block->muiLast = block->muiFirst + EF_SLIDES_PER_BLOCK - 1;
	block->LoadBlock( mpBuffer, GetBytesRead() );
	block->muiLoaded = 1;
	return block;
}

void EFSlideShow::Update() {
	if ( StreamSync() != 0 || mpcNames == nullptr ) {
		return;
	}
	switch ( muiLoadStep ) {
	case 0:
		mpoCurrentBlock = NewBlock( 0 );
		muiCurrentNumber = 0;
		muiLoadStep = 1;
		StreamBlock( Name( 1 % muiBlockCount ) );
		break;
	case 1:
		muiNextNumber = 1 % muiBlockCount;
		mpoNextBlock = NewBlock( muiNextNumber );
		muiLoadStep = 2;
		StreamBlock( Name( muiBlockCount - 1 ) );
		break;
	case 2:
		muiPreviousNumber = muiBlockCount - 1;
		mpoPreviousBlock = NewBlock( muiPreviousNumber );
		mpoCamera = new EFCamera( nullptr );
		muiState = EF_SLIDE_STATE_READY;
		SetSlide( 0 );
		if ( mpoNotified != nullptr ) {
			mpoNotified->Notify( NO_SLIDE, nullptr, false );
		}
		break;
	default:
		break;
	}
}

bool EFSlideShow::InBlock( const EFSlideBlock * block, const u32 i ) {
	return block->muiFirst <= i && i <= block->muiLast;
}

void EFSlideShow::EnsureLoaded( EFSlideBlock & block ) {
	if ( block.muiLoaded != 0 ) {
		return;
	}
	while ( StreamSync() != 0 ) {
		HostIdle();
	}
	block.LoadBlock( mpBuffer, GetBytesRead() );
	block.muiLoaded = 1;
}

void EFSlideShow::Refill( EFSlideBlock & block, const u32 number ) {
	block.Reset();
	block.muiFirst = number * EF_SLIDES_PER_BLOCK;
	block.muiLast = block.muiFirst + EF_SLIDES_PER_BLOCK - 1;
	block.mpoCurrentSlide = &block.maoSlide[0];
	// A read still in progress can only be this block's own earlier one
	// (it was the one block not loaded): the new read replaces it.
	StreamBlock( Name( number ) );
}

void EFSlideShow::SetSlide( const u32 i ) {
	if ( i >= muiSlideCount || mpoCurrentBlock == nullptr ) {
		return;
	}
	if ( InBlock( mpoCurrentBlock, i ) ) {
		mpoCurrentBlock->SetSlide( i );
	} else if ( InBlock( mpoPreviousBlock, i ) ) {
		EnsureLoaded( *mpoPreviousBlock );
		EFSlideBlock * const leaving = mpoNextBlock;
		mpoNextBlock = mpoCurrentBlock;
		mpoCurrentBlock = mpoPreviousBlock;
		mpoPreviousBlock = leaving;
		muiNextNumber = muiCurrentNumber;
		muiCurrentNumber = muiPreviousNumber;
		muiPreviousNumber = ( muiPreviousNumber + muiBlockCount - 1 ) % muiBlockCount;
		Refill( *mpoPreviousBlock, muiPreviousNumber );
		mpoCurrentBlock->SetSlide( i );
	} else if ( InBlock( mpoNextBlock, i ) ) {
		EnsureLoaded( *mpoNextBlock );
		EFSlideBlock * const leaving = mpoPreviousBlock;
		mpoPreviousBlock = mpoCurrentBlock;
		mpoCurrentBlock = mpoNextBlock;
		mpoNextBlock = leaving;
		muiPreviousNumber = muiCurrentNumber;
		muiCurrentNumber = muiNextNumber;
		muiNextNumber = ( muiNextNumber + 1 ) % muiBlockCount;
		Refill( *mpoNextBlock, muiNextNumber );
		mpoCurrentBlock->SetSlide( i );
	}
}
