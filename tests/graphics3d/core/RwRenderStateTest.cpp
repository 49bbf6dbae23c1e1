#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTestEngine.h"

#include <bit>

namespace {

class RwRenderStateTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		TestDeviceClearCalls();
	}
	void TearDown() override {
		if ( RwEngineInstance != nullptr ) {
			RwEngineInstance->currentCamera = nullptr;
		}
		RwTestCase::TearDown();
	}
};

TEST_F( RwRenderStateTest, SetsRenderStatesOnlyWhileACameraIsUpdated ) {
	int value = 0;
	EXPECT_FALSE( RwRenderStateSet( 6, &value ) );
	EXPECT_TRUE( TestDeviceCalls().empty() );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, RWPLUGIN_CORE );
	EXPECT_EQ( error.errorCode, RWERR_NO_CAMERA );

	RwEngineInstance->currentCamera = reinterpret_cast<RwCamera*>( &value );
	EXPECT_TRUE( RwRenderStateSet( 6, &value ) );
	ASSERT_EQ( TestDeviceCalls().size(), 1u );
	EXPECT_EQ( TestDeviceCalls()[0].kind, TestDeviceCall::RENDER_STATE_SET );
	EXPECT_EQ( TestDeviceCalls()[0].state, 6 );
	EXPECT_EQ( TestDeviceCalls()[0].value, &value );
}

TEST_F( RwRenderStateTest, GetsStatesAndDrawsIn2DWithoutACamera ) {
	int marker = 0;
	TestDeviceSetRenderStateValue( &marker );
	void* got = nullptr;
	EXPECT_TRUE( RwRenderStateGet( 9, &got ) );
	EXPECT_EQ( got, &marker );

	RwIm2DVertex* const vertices = reinterpret_cast<RwIm2DVertex*>( &marker );
	RwImVertexIndex indices[3] = { 0, 1, 2 };
	EXPECT_TRUE( RwIm2DRenderPrimitive( 4, vertices, 5 ) );
	EXPECT_TRUE( RwIm2DRenderIndexedPrimitive( 3, vertices, 7, indices, 3 ) );
	const auto& calls = TestDeviceCalls();
	ASSERT_EQ( calls.size(), 3u );
	EXPECT_EQ( calls[0].kind, TestDeviceCall::RENDER_STATE_GET );
	EXPECT_EQ( calls[0].state, 9 );
	EXPECT_EQ( calls[1].kind, TestDeviceCall::IM2D_PRIMITIVE );
	EXPECT_EQ( calls[1].state, 4 );
	EXPECT_EQ( calls[1].value, vertices );
	EXPECT_EQ( calls[1].numVertices, 5 );
	EXPECT_EQ( calls[2].kind, TestDeviceCall::IM2D_INDEXED_PRIMITIVE );
	EXPECT_EQ( calls[2].numVertices, 7 );
	EXPECT_EQ( calls[2].indices, indices );
	EXPECT_EQ( calls[2].numIndices, 3 );

	EXPECT_EQ( RwIm2DGetNearScreenZ(), 0.0f );
	EXPECT_EQ( std::bit_cast<u32>( RwIm2DGetFarScreenZ() ), 0x3F7FFFFFu );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NONE );
}

TEST_F( RwRenderStateTest, WithoutADeviceRecordNothingIsForwarded ) {
	ASSERT_TRUE( RwEngineStop() );
	ASSERT_TRUE( RwEngineClose() );
	ASSERT_TRUE( RwEngineTerm() );
	staticGlobals.device = RwDevice{};
	TestDeviceClearCalls();
	void* got = nullptr;
	EXPECT_FALSE( RwRenderStateGet( 1, &got ) );
	EXPECT_FALSE( RwIm2DRenderPrimitive( 4, nullptr, 0 ) );
	EXPECT_FALSE( RwIm2DRenderIndexedPrimitive( 4, nullptr, 0, nullptr, 0 ) );
	EXPECT_TRUE( TestDeviceCalls().empty() );
}

}	// namespace
