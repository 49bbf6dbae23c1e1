#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OSHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class GXHostTest : public ::testing::Test {
protected:
	alignas( 32 ) u8 fifo[4096];

	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		GXHostReset();
		OSHostResetThreads();
		GXInit( fifo, sizeof( fifo ) );
	}
	void TearDown() override {
		GXHostReset();
		HostResetEvents();
	}
};

void PutBE32( std::vector<u8>& out, const f32 value ) {
	u32 bits;
	std::memcpy( &bits, &value, 4 );
	for ( s32 shift = 24; shift >= 0; shift -= 8 ) {
		out.push_back( static_cast<u8>( bits >> shift ) );
	}
}

u32 breakCalls = 0;
void CountBreak() {
	breakCalls++;
}

}	// namespace

TEST_F( GXHostTest, DisplayListsOfIndexedStripsGiveTheirBytesAndDecodeToTriangles ) {
	// Hand-built big-endian arrays: five positions, five colours.
	std::vector<u8> positions;
	const f32 xyz[5][3] = { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 1, 1, 0.5f }, { 2, 2, -1 } };
	for ( const auto& p : xyz ) {
		for ( const f32 c : p ) {
			PutBE32( positions, c );
		}
	}
	const u8 colours[5][4] = { { 255, 0, 0, 255 }, { 0, 255, 0, 255 }, { 0, 0, 255, 255 }, { 9, 8, 7, 6 }, { 1, 2, 3, 4 } };
	const struct {
		u32		indexType;
		u32		indexBytes;
	} cases[] = { { GX_INDEX8, 1 }, { GX_INDEX16, 2 } };
	const u16 order[4] = { 4, 3, 1, 0 };
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.indexBytes );
		GXHostClearLog();
		GXClearVtxDesc();
		GXSetVtxDesc( GX_VA_PNMTXIDX, GX_DIRECT );
		GXSetVtxDesc( GX_VA_POS, c.indexType );
		GXSetVtxDesc( GX_VA_CLR0, c.indexType );
		GXSetVtxAttrFmt( GX_VTXFMT0 + 2, GX_VA_POS, GX_POS_XYZ, GX_F32, 0 );
		GXSetVtxAttrFmt( GX_VTXFMT0 + 2, GX_VA_CLR0, GX_CLR_RGBA, GX_RGBA8, 0 );
		GXSetArray( GX_VA_POS, positions.data(), 12 );
		GXSetArray( GX_VA_CLR0, colours, 4 );

		alignas( 32 ) u8 list[64];
		std::memset( list, 0xCC, sizeof( list ) );
		GXBeginDisplayList( list, sizeof( list ) );
		GXBegin( GX_TRIANGLESTRIP, GX_VTXFMT0 + 2, 4 );
		for ( u32 i = 0; i < 4; i++ ) {
			GXMatrixIndex1u8( static_cast<u8>( i * 3 ) );
			if ( c.indexBytes == 1 ) {
				GXPosition1x8( static_cast<u8>( order[i] ) );
				GXColor1x8( static_cast<u8>( order[i] ) );
			} else {
				GXPosition1x16( order[i] );
				GXColor1x16( order[i] );
			}
		}
		GXEnd();
		const u32 size = GXEndDisplayList();

		std::vector<u8> expected = { 0x9A, 0x00, 0x04 };
		for ( u32 i = 0; i < 4; i++ ) {
			expected.push_back( static_cast<u8>( i * 3 ) );
			for ( u32 twice = 0; twice < 2; twice++ ) {
				if ( c.indexBytes == 2 ) {
					expected.push_back( 0 );
				}
				expected.push_back( static_cast<u8>( order[i] ) );
			}
		}
		const u32 padded = ( static_cast<u32>( expected.size() ) + 31 ) & ~31u;
		expected.resize( padded, 0x00 );
		ASSERT_EQ( size, padded );
		EXPECT_EQ( std::vector<u8>( list, list + size ), expected );
		EXPECT_EQ( list[size], 0xCC );
		EXPECT_TRUE( GXHostCurrentFrame().draws.empty() );

		GXCallDisplayList( list, size );
		ASSERT_EQ( GXHostCurrentFrame().draws.size(), 1u );
		const GXHostDraw& draw = GXHostCurrentFrame().draws[0];
		EXPECT_EQ( draw.primitive, GX_TRIANGLESTRIP );
		EXPECT_EQ( draw.format, 2u );
		EXPECT_EQ( draw.announced, 4 );
		EXPECT_FALSE( draw.countFault );
		EXPECT_TRUE( draw.fromDisplayList );
		ASSERT_EQ( draw.vertices.size(), 4u );
		for ( u32 i = 0; i < 4; i++ ) {
			const GXHostVertex& v = draw.vertices[i];
			EXPECT_EQ( v.matrixIndex, i * 3 );
			EXPECT_EQ( std::memcmp( v.position, xyz[order[i]], 12 ), 0 ) << i;
			EXPECT_EQ( std::memcmp( &v.colour[0], colours[order[i]], 4 ), 0 ) << i;
		}
		EXPECT_EQ( GXHostTriangles( draw ), ( std::vector<u32>{ 0, 1, 2, 2, 1, 3 } ) );
	}
	EXPECT_TRUE( GXHostFaults().empty() );
}

TEST_F( GXHostTest, DirectDataDequantisesByTypeAndFractionBits ) {
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxDesc( GX_VA_TEX0, GX_DIRECT );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XY, GX_S16, 4 );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_TEX0, GX_TEX_ST, GX_F32, 0 );
	const Mtx scale = { { 2, 0, 0, 1 }, { 0, 2, 0, 0 }, { 0, 0, 2, 0 } };
	GXLoadPosMtxImm( scale, GX_PNMTX0 + 3 );
	GXBegin( GX_TRIANGLEFAN, GX_VTXFMT0, 4 );
	const s16 raw[4][2] = { { 16, -32 }, { 8, 8 }, { -1, 0 }, { 32767, -32768 } };
	for ( const auto& r : raw ) {
		GXPosition2s16( r[0], r[1] );
		GXTexCoord2f32( 0.25f, -3.0f );
	}
	GXEnd();
	const GXHostDraw& draw = GXHostCurrentFrame().draws.back();
	ASSERT_EQ( draw.vertices.size(), 4u );
	EXPECT_EQ( draw.vertices[0].position[0], 1.0f );
	EXPECT_EQ( draw.vertices[0].position[1], -2.0f );
	EXPECT_EQ( draw.vertices[2].position[0], -0.0625f );
	EXPECT_EQ( draw.vertices[3].position[1], -2048.0f );
	EXPECT_EQ( draw.vertices[1].texCoord[0][1], -3.0f );
	EXPECT_EQ( draw.state.posMtx[1][0][3], 1.0f );
	EXPECT_EQ( GXHostTriangles( draw ), ( std::vector<u32>{ 0, 1, 2, 0, 2, 3 } ) );
}

TEST_F( GXHostTest, CatchesCountMismatchesOverflowsAndStateCallsInLists ) {
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XYZ, GX_F32, 0 );

	// Two vertices written for three announced.
	GXBegin( GX_TRIANGLES, GX_VTXFMT0, 3 );
	GXPosition3f32( 0, 0, 0 );
	GXPosition3f32( 1, 0, 0 );
	GXEnd();
	ASSERT_EQ( GXHostFaults().size(), 1u );
	EXPECT_EQ( GXHostFaults()[0].kind, GXHOST_FAULT_VERTEX_COUNT );
	EXPECT_TRUE( GXHostCurrentFrame().draws.back().countFault );
	EXPECT_EQ( GXHostCurrentFrame().draws.back().vertices.size(), 2u );
	GXHostClearFaults();

	// 3 + 3 x 12 = 39 bytes pad to 64: too much for 32, fits in 64.
	const struct {
		u32		capacity;
		u32		size;
		bool	overflow;
	} cases[] = { { 32, 0, true }, { 64, 64, false }, { 16, 0, true } };
	for ( const auto& c : cases ) {
		GXHostClearFaults();
		alignas( 32 ) u8 list[64];
		GXBeginDisplayList( list, c.capacity );
		GXBegin( GX_TRIANGLES, GX_VTXFMT0, 3 );
		for ( s32 i = 0; i < 3; i++ ) {
			GXPosition3f32( static_cast<f32>( i ), 0, 0 );
		}
		GXEnd();
		EXPECT_EQ( GXEndDisplayList(), c.size ) << c.capacity;
		EXPECT_EQ( GXHostFaults().size(), c.overflow ? 1u : 0u ) << c.capacity;
		if ( c.overflow ) {
			EXPECT_EQ( GXHostFaults()[0].kind, GXHOST_FAULT_LIST_OVERFLOW );
		}
	}

	GXHostClearFaults();
	alignas( 32 ) u8 list[64];
	GXBeginDisplayList( list, sizeof( list ) );
	GXSetCullMode( GX_CULL_NONE );
	GXEndDisplayList();
	ASSERT_EQ( GXHostFaults().size(), 1u );
	EXPECT_EQ( GXHostFaults()[0].kind, GXHOST_FAULT_LIST_STATE_CALL );
	EXPECT_EQ( GXHostFaults()[0].detail, static_cast<u32>( GXHOST_SET_CULL_MODE ) );
}

TEST_F( GXHostTest, RunsTheGpuOnlyWhileInterruptsAreEnabledAndHaltsAtTheBreakPoint ) {
	breakCalls = 0;
	GXSetBreakPtCallback( CountBreak );
	GXSetDrawSync( 5 );
	void* write = nullptr;
	GXGetFifoPtrs( GXGetCPUFifo(), nullptr, &write );
	GXEnableBreakPt( write );
	GXSetDrawSync( 6 );
	GXFlush();

	// Nothing is delivered while interrupts are disabled, however long.
	const BOOL level = OSDisableInterrupts();
	for ( s32 i = 0; i < 20; i++ ) {
		HostIdle();
	}
	EXPECT_EQ( GXReadDrawSync(), 0 );
	EXPECT_EQ( breakCalls, 0u );
	OSThreadQueue queue;
	OSInitThreadQueue( &queue );
	OSSleepThread( &queue );
	EXPECT_EQ( OSHostSleepFaults(), 1u );
	OSRestoreInterrupts( level );

	HostAdvanceTime( GXHOST_PUMP_TICKS * 2 );
	EXPECT_EQ( GXReadDrawSync(), 5 );
	EXPECT_EQ( breakCalls, 1u );
	EXPECT_TRUE( GXHostGpuHalted() );
	HostAdvanceTime( GXHOST_PUMP_TICKS * 10 );
	EXPECT_EQ( GXReadDrawSync(), 5 );
	GXDisableBreakPt();
	HostAdvanceTime( GXHOST_PUMP_TICKS * 2 );
	EXPECT_EQ( GXReadDrawSync(), 6 );
	EXPECT_FALSE( GXHostGpuHalted() );

	// A stalled GPU resumes at the time set.
	GXHostStall();
	GXSetDrawSync( 7 );
	HostAdvanceTime( GXHOST_PUMP_TICKS * 10 );
	EXPECT_EQ( GXReadDrawSync(), 6 );
	GXHostResumeAt( HostClockNow() + 1000 );
	HostAdvanceTime( 999 );
	EXPECT_EQ( GXReadDrawSync(), 6 );
	HostAdvanceTime( GXHOST_PUMP_TICKS * 2 );
	EXPECT_EQ( GXReadDrawSync(), 7 );

	// The FIFO pointers wrap on the ring.
	void* read = nullptr;
	GXGetFifoPtrs( GXGetCPUFifo(), &read, &write );
	EXPECT_EQ( read, write );
	const GXFifoObj* const f = GXGetCPUFifo();
	EXPECT_EQ( static_cast<u8*>( write ), fifo + f->writeBytes % sizeof( fifo ) );
}

TEST_F( GXHostTest, DisplayCopiesStampTheirBufferAndClearTheEmbeddedBuffer ) {
	alignas( 32 ) static u8 xfb[2][64];
	GXHostFillEfb( 10, 10, 2, 2, 0x11223344 );
	u32 colour = 0;
	GXPeekARGB( 11, 11, &colour );
	EXPECT_EQ( colour, 0x11223344u );
	GXPeekARGB( 640, 0, &colour );
	EXPECT_EQ( colour, 0u );
	GXSetCopyClear( { 1, 2, 3, 4 }, 0xFFFFFF );
	GXCopyDisp( xfb[0], GX_FALSE );
	GXCopyDisp( xfb[1], GX_TRUE );
	EXPECT_EQ( GXHostCopySerial( xfb[0] ), 0u );
	GXFlush();
	HostAdvanceTime( GXHOST_PUMP_TICKS * 2 );
	EXPECT_EQ( GXHostCopySerial( xfb[0] ), 1u );
	EXPECT_EQ( GXHostCopySerial( xfb[1] ), 2u );
	GXPeekARGB( 11, 11, &colour );
	EXPECT_EQ( colour, 0x04010203u );
	// Each display copy closes a frame of the log.
	EXPECT_EQ( GXHostFrames().size(), 3u );
	EXPECT_EQ( GXHostFrames()[1].counts[GXHOST_COPY_DISP], 1u );
}

TEST_F( GXHostTest, AWriteThatWouldOverrunTheUnreadRingWaitsForTheGpu ) {
	alignas( 32 ) static u8 small[64];
	GXInit( small, sizeof( small ) );
	GXHostStall();
	const s64 resume = HostClockNow() + 100000;
	GXHostResumeAt( resume );
	for ( u32 i = 0; i < 8; i++ ) {
		GXSetCullMode( GX_CULL_NONE );
	}
	EXPECT_EQ( HostClockNow(), 0 );
	GXSetCullMode( GX_CULL_BACK );
	EXPECT_GE( HostClockNow(), resume );
	const GXFifoObj* const f = GXGetCPUFifo();
	EXPECT_LE( f->writeBytes - f->readBytes, sizeof( small ) );
}
