#include "RwDlTestDriver.h"

#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"

#include <functional>
#include <vector>

namespace {

class RwDlFrameTest : public RwDlTestCase {
public:
	RwDlTestCamera	cam;

	void TearDown() override {
		cam.Destroy();
		RwDlTestCase::TearDown();
	}

	void Retraces( const s32 count ) {
		HostAdvanceTime( RWDL_TEST_RETRACE * count );
	}

	// The shown frames: each change of copy serial in the retrace log.
	std::vector<VIHostRetrace> Shown() {
		std::vector<VIHostRetrace> shown;
		for ( const VIHostRetrace& r : VIHostRetraceLog() ) {
			if ( r.copySerial != 0 && ( shown.empty() || shown.back().copySerial != r.copySerial ) ) {
				shown.push_back( r );
			}
		}
		return shown;
	}

	// Copy serials show in order, each once, on alternating buffers.
	void ExpectAlternating( const u32 firstSerial, const u32 frames ) {
		const std::vector<VIHostRetrace> shown = Shown();
		ASSERT_GE( shown.size(), frames );
		for ( u32 i = 0; i < frames; i++ ) {
			EXPECT_EQ( shown[i].copySerial, firstSerial + i );
			EXPECT_EQ( shown[i].frameBuffer, ( i % 2 == 0 ) ? _RwGCXFB2 : _RwGCXFB1 ) << i;
			EXPECT_FALSE( shown[i].black );
		}
	}

	void NormalFlow() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		VIHostClearRetraceLog();
		Retraces( 3 );
		for ( s32 i = 0; i < 10; i++ ) {
			cam.Frame();
			Retraces( 1 );
		}
		Retraces( 3 );
		const std::vector<VIHostRetrace> log = VIHostRetraceLog();
		ASSERT_GE( log.size(), 3u );
		// Black until the first frame is shown.
		for ( u32 i = 0; i < 3; i++ ) {
			EXPECT_TRUE( log[i].black );
			EXPECT_EQ( log[i].frameBuffer, nullptr );
		}
		ExpectAlternating( 1, 10 );
		EXPECT_EQ( Shown().size(), 10u );
	}

	void ThirdShowRasterSleeps() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		GXHostStall();
		cam.Frame();
		cam.Frame();
		EXPECT_EQ( OSHostSleepCount(), 0u );
		// Between two retraces, so that the wake-up comes from the break point.
		const s64 resume = HostClockNow() + 5 * RWDL_TEST_RETRACE / 2;
		GXHostResumeAt( resume );
		cam.Frame();
		EXPECT_EQ( OSHostSleepCount(), 1u );
		EXPECT_GE( HostClockNow(), resume );
		EXPECT_EQ( _rwDlFrameView().frameCurrent, 1 );
		Retraces( 4 );
		ExpectAlternating( 1, 3 );
	}

	void BreakPointOnTheShownBufferWaitsForPostRetrace() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		// Right after a retrace: two frames before the next one, the second
		// copied into the buffer still on screen.
		cam.Frame();
		cam.Frame();
		HostAdvanceTime( RWDL_TEST_RETRACE / 4 );
		EXPECT_EQ( _rwDlFrameView().frameWait, 1u );
		EXPECT_TRUE( GXHostGpuHalted() );
		EXPECT_EQ( GXHostCopySerial( _RwGCXFB2 ), 1u );
		EXPECT_EQ( GXHostCopySerial( _RwGCXFB1 ), 0u );
		Retraces( 1 );
		HostAdvanceTime( RWDL_TEST_RETRACE / 4 );
		EXPECT_EQ( _rwDlFrameView().frameWait, 0u );
		EXPECT_EQ( GXHostCopySerial( _RwGCXFB1 ), 2u );
		Retraces( 2 );
		ExpectAlternating( 1, 2 );
	}

	void TokensWrap() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		_RwDlTokenCurrent = RWDL_TOKEN_MODULO - 1;
		std::vector<u16> issued;
		for ( s32 i = 0; i < 3; i++ ) {
			issued.push_back( static_cast<u16>( _RwDlTokenCurrent ) );
			cam.Frame();
			Retraces( 1 );
		}
		EXPECT_EQ( issued, ( std::vector<u16>{ 57343, 0, 1 } ) );
		EXPECT_EQ( _RwDlTokenCurrent, 2 );
		Retraces( 2 );
		ExpectAlternating( 1, 3 );
	}

	void Antialiased() {
		GXRenderModeObj mode = GXNtsc480IntDf;
		mode.aa = GX_TRUE;
		mode.efbHeight = 242;
		config = { &mode, GX_PF_RGB8_Z24, 0 };
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		EXPECT_EQ( _RwDlFSAA, 1u );
		EXPECT_EQ( _RwDlHalfHeight, 240u );
		EXPECT_EQ( _RwDlPixelFormat, GX_PF_RGB565_Z16 );
		void* const target = _RwGCXFBCopy;
		cam.Frame();
		EXPECT_EQ( _RwGCXFBCopy, target );
		EXPECT_EQ( _RwDlFSAATop, 0u );
		GXHostClearLog();
		cam.Frame();
		EXPECT_NE( _RwGCXFBCopy, target );
		// The bottom copy: clamp bottom, source below the guard lines, into
		// the second half of the buffer, then the clamps and source back.
		std::vector<GXHostRecord> copies;
		for ( const GXHostFrame& frame : GXHostFrames() ) {
			for ( const GXHostRecord& r : frame.records ) {
				if ( r.call == GXHOST_SET_COPY_CLAMP || r.call == GXHOST_SET_DISP_COPY_SRC || r.call == GXHOST_COPY_DISP ) {
					copies.push_back( r );
				}
			}
		}
		ASSERT_EQ( copies.size(), 5u );
		EXPECT_EQ( copies[0].args[0], GX_CLAMP_BOTTOM );
		EXPECT_EQ( copies[1].args[1], 2u );
		EXPECT_EQ( copies[1].args[3], 240u );
		EXPECT_EQ( copies[2].args[0], GXWordOf( static_cast<u8*>( target ) + 640 * 240 * 2 ) );
		EXPECT_EQ( copies[3].args[0], GX_CLAMP_TOP | GX_CLAMP_BOTTOM );
		EXPECT_EQ( copies[4].args[3], 242u );
		Retraces( 3 );
		const std::vector<VIHostRetrace> shown = Shown();
		ASSERT_EQ( shown.size(), 1u );
		EXPECT_EQ( shown[0].frameBuffer, target );

		// The six scissor cases, H = 240: top limit 242, bottom start 238.
		const struct {
			s32		y;
			s32		h;
			u32		top;
			u32		scissor[4];
			s32		boxY;
		} cases[] = {
			{ 10, 100, 1, { 0, 20, 640, 200 }, 0 },
			{ 130, 50, 1, { 0, 0, 640, 242 }, 0 },
			{ 100, 100, 1, { 0, 200, 640, 242 }, 0 },
			{ 120, 50, 0, { 0, 240, 640, 100 }, 238 },
			{ 10, 100, 0, { 0, 238, 640, 242 }, 238 },
			{ 100, 100, 0, { 0, 238, 640, 200 }, 238 },
		};
		for ( const auto& c : cases ) {
			cam.UseWindow( { 0, c.y, 640, c.h } );
			_RwDlFSAATop = c.top;
			RwCameraBeginUpdate( cam.camera );
			const GXHostRenderState& state = GXHostState();
			EXPECT_EQ( std::memcmp( state.scissor, c.scissor, sizeof( c.scissor ) ), 0 )
				<< c.y << " " << c.h << " " << c.top << ": " << state.scissor[0] << " " << state.scissor[1] << " "
				<< state.scissor[2] << " " << state.scissor[3];
			EXPECT_EQ( state.scissorBoxOffset[1], c.boxY );
			EXPECT_EQ( state.viewport[1], 2.0f * c.y );
			EXPECT_EQ( state.viewport[3], 2.0f * c.h );
			RwCameraEndUpdate( cam.camera );
		}
		// Camera clear by quad doubles y and h.
		RwRGBA colour = { 1, 2, 3, 4 };
		GXHostClearLog();
		RwCameraClear( cam.camera, &colour, rwCAMERACLEARIMAGE );
		const std::vector<const GXHostDraw*> quads = RwDlTestQuads();
		ASSERT_EQ( quads.size(), 1u );
		EXPECT_EQ( quads[0]->vertices[0].position[1], 200.0f );
		EXPECT_EQ( quads[0]->vertices[2].position[1], 400.0f );
	}

	void RestartAfterStop() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		cam.Frame();
		Retraces( 2 );
		cam.Destroy();
		ASSERT_TRUE( RwEngineStop() && RwEngineClose() );
		ASSERT_TRUE( Open() && RwEngineStart() );
		void* base = nullptr;
		GXGetFifoPtrs( GXGetCPUFifo(), nullptr, &base );
		EXPECT_EQ( GXGetCPUFifo(), _RwDlDefaultFifoObj );
		EXPECT_EQ( GXGetCPUFifo()->base, _RwDlDefaultFifo );
		ASSERT_TRUE( cam.Create( 640, 480 ) );
		VIHostClearRetraceLog();
		for ( s32 i = 0; i < 4; i++ ) {
			cam.Frame();
			Retraces( 1 );
		}
		Retraces( 2 );
		EXPECT_EQ( Shown().size(), 4u );
		EXPECT_EQ( Shown().back().copySerial, 5u );
	}

	void CopyClear() {
		ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
		const struct {
			u32		copyClear;
			s32		flags;
			u32		copyClearCalls;
			u32		quads;
		} cases[] = {
			{ 0, rwCAMERACLEARIMAGE | rwCAMERACLEARZ, 0, 1 },
			{ 0, rwCAMERACLEARZ, 0, 1 },
			{ 1, rwCAMERACLEARIMAGE, 1, 0 },
			{ 1, rwCAMERACLEARZ, 0, 0 },
		};
		for ( const auto& c : cases ) {
			RwGameCubeSetCopyClear( c.copyClear );
			GXHostClearLog();
			RwRGBA colour = { 10, 20, 30, 40 };
			RwCameraClear( cam.camera, &colour, c.flags );
			EXPECT_EQ( GXHostCallCount( GXHOST_SET_COPY_CLEAR ), c.copyClearCalls ) << c.copyClear << " " << c.flags;
			const std::vector<const GXHostDraw*> quads = RwDlTestQuads();
			EXPECT_EQ( quads.size(), c.quads );
			if ( c.quads && !quads.empty() ) {
				const GXHostDraw& quad = *quads[0];
				EXPECT_EQ( quad.vertices[2].position[0], 640.0f );
				EXPECT_EQ( quad.vertices[2].position[1], 480.0f );
				EXPECT_EQ( quad.state.zUpdate, GX_TRUE );
				EXPECT_EQ( quad.state.colourUpdate, ( c.flags & rwCAMERACLEARIMAGE ) ? GX_TRUE : GX_FALSE );
				EXPECT_EQ( quad.state.zFunction, static_cast<u32>( GX_ALWAYS ) );
			}
			if ( c.copyClearCalls ) {
				const GXHostCopyState& copy = GXHostCopy();
				EXPECT_EQ( copy.clearColour.r, 10 );
				EXPECT_EQ( copy.clearColour.a, 40 );
				EXPECT_EQ( copy.clearZ, 0xFFFFFFu );
			}
		}
		// With copy-clear on, the display copy clears.
		cam.Frame();
		const GXHostRecord* copy = nullptr;
		for ( const GXHostFrame& frame : GXHostFrames() ) {
			for ( const GXHostRecord& r : frame.records ) {
				if ( r.call == GXHOST_COPY_DISP ) {
					copy = &r;
				}
			}
		}
		ASSERT_NE( copy, nullptr );
		EXPECT_EQ( copy->args[1], 1u );
	}

	static u32 GXWordOf( const void* p ) {
		return static_cast<u32>( reinterpret_cast<uintptr_t>( p ) );
	}
};

}	// namespace

TEST_F( RwDlFrameTest, PacesFramesInEverySimulatedScenario ) {
	const struct {
		const char*							name;
		std::function<void( RwDlFrameTest* )>	run;
	} scenarios[] = {
		{ "normal flow, black until the first frame", &RwDlFrameTest::NormalFlow },
		{ "third show raster sleeps", &RwDlFrameTest::ThirdShowRasterSleeps },
		{ "break point on the shown buffer", &RwDlFrameTest::BreakPointOnTheShownBufferWaitsForPostRetrace },
		{ "tokens wrap", &RwDlFrameTest::TokensWrap },
		{ "antialiasing", &RwDlFrameTest::Antialiased },
		{ "restart after stop", &RwDlFrameTest::RestartAfterStop },
		{ "copy clear", &RwDlFrameTest::CopyClear },
	};
	for ( const auto& s : scenarios ) {
		SCOPED_TRACE( s.name );
		TearDown();
		SetUp();
		s.run( this );
	}
}

TEST_F( RwDlFrameTest, ReportsTokensDoneOnBothSidesOfTheWrap ) {
	ASSERT_TRUE( BringUp() );
	const struct {
		u16		current;
		u16		seen;
		u16		token;
		bool	done;
	} cases[] = {
		{ 10, 5, 5, true }, { 10, 5, 3, true }, { 10, 5, 6, false }, { 10, 5, 10, false }, { 10, 5, 57000, true },
		{ 3, 57340, 57340, true }, { 3, 57340, 4, true }, { 3, 57340, 57341, false }, { 3, 57340, 2, false },
		{ 3, 57340, 3, false },
	};
	for ( const auto& c : cases ) {
		GXSetDrawSync( c.seen );
		HostAdvanceTime( RWDL_TEST_RETRACE / 10 );
		_RwDlTokenCurrent = c.current;
		EXPECT_EQ( _rwDlTokenQueryDone( c.token ), c.done ) << c.current << " " << c.seen << " " << c.token;
		EXPECT_EQ( _RwDlTokenLastSeen, c.seen );
	}
	// Back to a consistent pair, so that shutting down can wait for tokens.
	GXSetDrawSync( 0 );
	HostAdvanceTime( RWDL_TEST_RETRACE / 10 );
	_RwDlTokenCurrent = 1;
}

TEST_F( RwDlFrameTest, AForgottenStallEndsThroughThePanicHookNamingTheWait ) {
	ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
	GXHostStall();
	cam.Frame();
	void* displayed = nullptr;
	void* copy = nullptr;
	try {
		RwGameCubeGetXFBs( &displayed, &copy );
		FAIL() << "the wait returned";
	} catch ( const RwDlTestPanic& panic ) {
		EXPECT_NE( std::string( panic.what() ).find( "RwGameCubeGetXFBs" ), std::string::npos );
	}
}

TEST_F( RwDlFrameTest, RunsTheLifeCycleOverTheEngineAllocator ) {
	const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };
	VIInit();
	ASSERT_TRUE( RwEngineInit( &engineMemory, 0, 0 ) && Open() && RwEngineStart() );
	ASSERT_TRUE( cam.Create( 640, 480 ) );
	VIHostClearRetraceLog();
	for ( s32 i = 0; i < 10; i++ ) {
		RwCameraBeginUpdate( cam.camera );
		EXPECT_EQ( dgGGlobals.curCamera, cam.camera );
		RwCameraEndUpdate( cam.camera );
		EXPECT_EQ( dgGGlobals.curCamera, nullptr );
		RwRasterShowRaster( cam.raster, nullptr, 0 );
		Retraces( 1 );
	}
	Retraces( 3 );
	ExpectAlternating( 1, 10 );

	// One more frame: a clear by quad and a textured strip with a texture
	// read back from a native chunk the driver wrote.
	RwRaster* const raster = RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | 0x500 );
	std::memset( _rwDlRasterExt( raster )->texels, 0x5A, _rwDlRasterGetSize( raster ) );
	RwTexture* const written = RwTextureCreate( raster );
	RwStream* const out = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
	ASSERT_TRUE( RwEngineInstance->standards[27]( out, written, 0 ) );
	RwMemory chunk = { nullptr, 0 };
	RwStreamClose( out, &chunk );
	RwStream* const in = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &chunk );
	RwTexture* texture = nullptr;
	ASSERT_TRUE( RwEngineInstance->standards[26]( in, &texture, 0 ) );
	RwStreamClose( in, nullptr );
	engineMemory.rwfree( chunk.start );
	GXHostClearLog();
	RwCameraBeginUpdate( cam.camera );
	RwRGBA black = { 0, 0, 0, 255 };
	RwCameraClear( cam.camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ );
	RwRenderStateSet( 1, texture->raster );
	RwIm2DVertex strip[4] = {
		{ 0, 0, 0.5f, 255, 255, 255, 255, 0, 0 }, { 64, 0, 0.5f, 255, 255, 255, 255, 1, 0 },
		{ 0, 64, 0.5f, 255, 255, 255, 255, 0, 1 }, { 64, 64, 0.5f, 255, 255, 255, 255, 1, 1 },
	};
	EXPECT_TRUE( RwIm2DRenderPrimitive( 4, strip, 4 ) );
	RwCameraEndUpdate( cam.camera );
	const GXHostFrame& frame = GXHostCurrentFrame();
	ASSERT_EQ( frame.draws.size(), 2u );
	EXPECT_EQ( frame.draws[0].primitive, GX_QUADS );
	const GXHostDraw& drawn = frame.draws[1];
	EXPECT_EQ( drawn.primitive, GX_TRIANGLESTRIP );
	ASSERT_EQ( drawn.vertices.size(), 4u );
	EXPECT_EQ( drawn.vertices[3].texCoord[0][0], 1.0f );
	EXPECT_EQ( drawn.state.textures[0].image, _rwDlRasterExt( texture->raster )->texels );
	EXPECT_EQ( drawn.state.textures[0].width, 8 );
	EXPECT_EQ( static_cast<const u8*>( drawn.state.textures[0].image )[0], 0x5A );
	RwRasterShowRaster( cam.raster, nullptr, 0 );
	Retraces( 2 );
	RwRaster* const readRaster = texture->raster;
	RwTextureDestroy( texture );
	RwRasterDestroy( readRaster );
	RwTextureDestroy( written );
	RwRasterDestroy( raster );

	cam.Destroy();
	EXPECT_TRUE( RwEngineStop() );
	EXPECT_TRUE( RwEngineClose() );
	EXPECT_EQ( _RwDl_FIFO_XFB, nullptr );
	EXPECT_TRUE( RwEngineTerm() );
	EXPECT_EQ( OSHostSleepFaults(), 0u );
	EXPECT_TRUE( GXHostFaults().empty() );
}

TEST_F( RwDlFrameTest, SetsTheCameraMatrixProjectionAndTargetPerCameraKind ) {
	ASSERT_TRUE( BringUp() && cam.Create( 640, 480 ) );
	RwCamera* const camera = cam.camera;
	camera->nearPlane = 2.0f;
	camera->farPlane = 10.0f;
	camera->recipViewWindow = { 0.5f, 0.25f };
	camera->viewOffset = { 0.0f, 0.0f };
	const RwV3d position = { 1.0f, 2.0f, 3.0f };
	RwFrameTranslate( cam.frame, &position, rwCOMBINEREPLACE );
	RwRaster* const texture = RwRasterCreate( 64, 32, 0, rwRASTERTYPECAMERATEXTURE | 0x600 );
	const struct {
		RwCameraProjection	projection;
		RwRaster*			target;
		f32					expected[7];
		u32					pixelFormat;
		f32					viewport[4];
	} cases[] = {
		{ rwPERSPECTIVE, cam.raster, { 0, 0.5f, 0, 0.25f, 0, -0.25f, -2.5f }, GX_PF_RGB8_Z24, { 0, 0, 640, 480 } },
		{ rwPARALLEL, cam.raster, { 1, 0.5f, 0, 0.25f, 0, -0.125f, -1.25f }, GX_PF_RGB8_Z24, { 0, 0, 640, 480 } },
		{ rwPERSPECTIVE, texture, { 0, 0.5f, 0, 0.25f, 0, -0.25f, -2.5f }, GX_PF_RGB8_Z24, { 0, 0, 64, 32 } },
	};
	for ( const auto& c : cases ) {
		camera->projectionType = c.projection;
		camera->frameBuffer = c.target;
		ASSERT_NE( RwCameraBeginUpdate( camera ), nullptr );
		f32 projection[7];
		GXGetProjectionv( projection );
		EXPECT_EQ( std::memcmp( projection, c.expected, sizeof( projection ) ), 0 ) << c.projection;
		const GXHostRenderState& state = GXHostState();
		EXPECT_EQ( state.pixelFormat, c.pixelFormat );
		EXPECT_EQ( std::memcmp( state.viewport, c.viewport, sizeof( c.viewport ) ), 0 );
		// The camera matrix is the inverse of its frame's: it takes the
		// camera's position to the origin.
		EXPECT_EQ( _RwDlInvCamLTM.pos.x, -1.0f );
		EXPECT_EQ( _RwDlInvCamLTM.pos.z, -3.0f );
		RwCameraEndUpdate( camera );
	}
	camera->frameBuffer = cam.raster;

	// Transform set-up: the transposed 3 x 4 part, rows 0 and 2 negated.
	_RwDlInvCamLTM = RwMatrix{};
	_RwDlInvCamLTM.right = { 1, 2, 3 };
	_RwDlInvCamLTM.up = { 4, 5, 6 };
	_RwDlInvCamLTM.at = { 7, 8, 9 };
	_RwDlInvCamLTM.pos = { 10, 11, 12 };
	_RwDlInvCamLTM.flags = 0x20003;
	_rwDlTransformSetup( nullptr, true );
	const f32 expected[3][4] = { { -1, -4, -7, -10 }, { 2, 5, 8, 11 }, { -3, -6, -9, -12 } };
	EXPECT_EQ( std::memcmp( GXHostState().posMtx[0], expected, sizeof( expected ) ), 0 );
	EXPECT_EQ( GXHostState().nrmMtx[0][2][1], -6.0f );
	EXPECT_EQ( GXHostState().currentMtx, GX_PNMTX0 );

	// Camera-texture flush: the parent's size, halved by a shift, into the
	// raster's texels with the mip filter on.
	for ( const s32 halve : { 0, 1 } ) {
		RwGameCubeCameraTextureFlush( texture, halve );
		const GXHostCopyState& copy = GXHostCopy();
		EXPECT_EQ( copy.texSource[2], halve ? 32 : 64 );
		EXPECT_EQ( copy.texSource[3], halve ? 16 : 32 );
		EXPECT_EQ( copy.texDestination[0], 64 );
		EXPECT_EQ( copy.texFormat, static_cast<u32>( GX_TF_RGBA8 ) );
		EXPECT_EQ( copy.texMipmap, halve );
		EXPECT_EQ( copy.verticalFilter, GX_TRUE );
	}
	RwRasterDestroy( texture );
}
