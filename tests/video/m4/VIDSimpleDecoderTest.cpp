#include "video/m4/VIDSimpleDecoder.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/VIDDecoder.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimplePlayer.h"

#include "M4TestHooks.h"

#include <gtest/gtest.h>

TEST( VIDSimpleDecoder, RoutesPicturePayloadsToTheDecoder ) {
	EXPECT_EQ( VIDSimpleVideoDecodeSink(), &VIDVideoDecode );
}

TEST( VIDSimpleDecoder, CreatesTheDecoderForTheMovieAndDestroysIt ) {
	const struct {
		s32		reorder;
		u32		flags;
		s32		failAt;
		s32		result;
	} cases[] = { { 1, 1, 0, 1 }, { 0, 0, 0, 1 }, { 7, 1, 0, 1 }, { 1, 1, 1, 0 }, { 1, 1, 4, 0 } };
	for ( const auto& c : cases ) {
		M4TestInstallHooks( true );
		M4TestHooksState().failAt = static_cast<u32>( c.failAt );
		player.videoHeader.width = 96;
		player.videoHeader.height = 48;
		EXPECT_EQ( VIDSimpleCreateDecoder( M4TestAlloc, M4TestFree, M4TestFastAlloc, c.reorder ), c.result );
		EXPECT_EQ( player.decoder != nullptr, c.result == 1 );
		if ( player.decoder != nullptr ) {
			EXPECT_EQ( player.decoder->mWidth, 96 );
			EXPECT_EQ( player.decoder->mHeight, 48 );
			EXPECT_EQ( player.decoder->mFlags, c.flags );
			// Creating again replaces the decoder without losing memory.
			const u32 live = static_cast<u32>( M4TestHooksState().live.size() );
			EXPECT_EQ( VIDSimpleCreateDecoder( M4TestAlloc, M4TestFree, M4TestFastAlloc, c.reorder ), 1 );
			EXPECT_EQ( M4TestHooksState().live.size(), live );
		}
		VIDSimpleDestroyDecoder();
		EXPECT_EQ( player.decoder, nullptr );
		EXPECT_TRUE( M4TestHooksState().live.empty() );
		VIDSimpleDestroyDecoder();
	}
	M4TestHooksReset();
}
