/*
	The logic plug-in: which hooks register and fire for each pair of
	indices, the step reaching the callback, and a body whose owner is not
	a game object in the world registering nothing.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMPlugin.h"

#include <vector>

namespace {

constexpr u32 OBJECT = 0x2A000600;
constexpr u32 PRE = 3;
constexpr u32 POST = 5;
constexpr u32 NONE = EF_DM_PLUGIN_NONE;

struct Call {
	u32	function;
	f32	dt;
};
std::vector<Call> gCalls;

template< u32 FUNCTION >
s32 Hook( void* data ) {
	gCalls.push_back( { FUNCTION, *static_cast<const f32*>( data ) } );
	return 0;
}

class EFDMPluginTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		gCalls.clear();
		code.SetFunctions( { { PRE, &Hook<PRE> }, { POST, &Hook<POST> } } );
		body = MakeModuleBody( OBJECT );
		OwnerOf( body )->moLogicInstance.mpLogicCode = &code;
		plugin = Module<EFDMPlugin>( Add( OBJECT, EF_DM_PLUGIN ) );
	}
	void TearDown() override {
		if ( EFGameObject* const object = gpoWorldMgr->FindGameObject( OBJECT ) ) {
			object->moLogicInstance.mpLogicCode = nullptr;
		}
		BehaviourTestBench::TearDown();
	}

	// Both phases once with step dt.
	void Phases( const f32 dt ) {
		EFDynamicPhysic record = {};
		EXPECT_EQ( plugin->PreColUpdate( record, dt ), 1u );
		plugin->PostColUpdate( nullptr, dt );
	}

	static bool Registered( const EFNotifyType_e type ) {
		return gpoGameLogicMgr->GetNotificationMgr().GetCallerData( type, OBJECT, OBJECT ) != nullptr;
	}

	LogicFakeModule	code;
	EFPhysic*		body = nullptr;
	EFDMPlugin*		plugin = nullptr;
};

TEST_F( EFDMPluginTest, EachEnabledHookRegistersAndRunsItsCallbackWithTheStep ) {
	EXPECT_EQ( plugin->mui32PreIndex, NONE );
	EXPECT_EQ( plugin->mui32PostIndex, NONE );
	EXPECT_EQ( plugin->mpoNotificationMgr, nullptr );
	struct Row {
		const char*			name;
		DMPluginParams		params;
		bool				pre;
		bool				post;
		std::vector<u32>	calls;
	};
	const Row rows[] = {
		{ "both off", { NONE, NONE }, false, false, {} },
		{ "post only", { NONE, POST }, false, true, { POST } },
		{ "both", { PRE, POST }, true, true, { PRE, POST } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gpoGameLogicMgr->GetNotificationMgr().UnregisterAllOwnerNotify( OBJECT );
		RecordStates( OBJECT );
		gCalls.clear();
		DMPluginParams params = row.params;
		DMSetParams( plugin->mui32Handle, &params );
		EXPECT_EQ( plugin->mui32ObjectId, OBJECT );
		EXPECT_EQ( Registered( NO_PHYSIC_PREUPDATE ), row.pre );
		EXPECT_EQ( Registered( NO_PHYSIC_POSTUPDATE ), row.post );
		Phases( 0.025f );
		ASSERT_EQ( gCalls.size(), row.calls.size() );
		for ( size_t i = 0; i < gCalls.size(); i++ ) {
			EXPECT_EQ( gCalls[i].function, row.calls[i] );
			EXPECT_EQ( gCalls[i].dt, 0.025f );
		}
		DMPluginParams out = {};
		DMGetParams( plugin->mui32Handle, &out );
		EXPECT_EQ( out.ui32PreIndex, row.params.ui32PreIndex );
		EXPECT_EQ( out.ui32PostIndex, row.params.ui32PostIndex );
	}
}

TEST_F( EFDMPluginTest, ABodyWhoseOwnerIsNoGameObjectInTheWorldRegistersNothing ) {
	// Taken out of the object map, the owner is no longer found.
	EFGameObject* const object = gpoWorldMgr->FindGameObject( OBJECT );
	gpoWorldMgr->RemoveGameObject( OBJECT );
	DMPluginParams params = { PRE, POST };
	plugin->SetParams( &params );
	EXPECT_FALSE( Registered( NO_PHYSIC_PREUPDATE ) );
	EXPECT_FALSE( Registered( NO_PHYSIC_POSTUPDATE ) );
	Phases( 0.025f );
	EXPECT_TRUE( gCalls.empty() );
	gpoWorldMgr->AddGameObject( object );
}

}
