#include "Engine/implementation/GC/EIOsInterfaceMgr.h"
#include "framework/core/engine/EFEEServerNetNode.h"
#include "framework/core/input/EFKeyboard.h"
#include "framework/core/engine/EFOsInterfaceMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An OS interface whose steps record themselves and can fail.
class StepRecorder : public EFOsInterfaceMgr {
public:
	u32 PreInitialize() override {
		steps.push_back( "PreInitialize" );
		return preResult;
	}
	u32 PostInitialize() override {
		steps.push_back( "PostInitialize" );
		return postResult;
	}
	void PreTerminate() override { steps.push_back( "PreTerminate" ); }
	void PostTerminate() override { steps.push_back( "PostTerminate" ); }

	u32							preResult = 1;
	u32							postResult = 1;
	std::vector<std::string>	steps;
};

TEST( EFOsInterfaceMgrTest, InitializeRunsThePostStepOnlyAfterASuccessfulPreStep ) {
	struct Row {
		u32							pre;
		u32							post;
		u32							result;
		std::vector<std::string>	steps;
	};
	const Row rows[] = {
		{ 1, 1, 1, { "PreInitialize", "PostInitialize" } },
		{ 0, 1, 0, { "PreInitialize" } },
		{ 1, 0, 0, { "PreInitialize", "PostInitialize" } },
		{ 7, 3, 1, { "PreInitialize", "PostInitialize" } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::to_string( row.pre ) + "/" + std::to_string( row.post ) );
		StepRecorder manager;
		manager.preResult = row.pre;
		manager.postResult = row.post;
		EXPECT_EQ( manager.Initialize(), row.result );
		EXPECT_EQ( manager.steps, row.steps );
		manager.steps.clear();
		manager.Terminate();
		EXPECT_EQ( manager.steps, ( std::vector<std::string>{ "PreTerminate", "PostTerminate" } ) );
	}
}

TEST( EFOsInterfaceMgrTest, TheConsoleManagerSucceedsMakesLogsOfNothingAndLeavesTheGlobalOnDestruction ) {
	char name[] = "LOG.TXT";
	{
		EFOsInterfaceMgr base;
		EXPECT_EQ( gpoOsInterfaceMgr, &base );
		EXPECT_EQ( base.CreateLogFile( name, EF_ACCESS_WRITE ), -1 );
		EXPECT_EQ( base.Initialize(), 1u );
	}
	EXPECT_EQ( gpoOsInterfaceMgr, nullptr );
	{
		EIOsInterfaceMgr console;
		EXPECT_EQ( gpoOsInterfaceMgr, &console );
		EXPECT_EQ( console.CreateLogFile( name, EF_ACCESS_READ ), 0 );
		EXPECT_EQ( console.Initialize(), 1u );
		console.Terminate();
	}
	EXPECT_EQ( gpoOsInterfaceMgr, nullptr );
	EFEEServerNetNode::EnableServerNode();
}

TEST( EFOsInterfaceMgrTest, AKeyboardStartsFlushed ) {
	const EFKeyboard keyboard;
	EXPECT_EQ( keyboard.GetReadIndex(), 0u );
	EXPECT_EQ( keyboard.GetWriteIndex(), 0u );
}

}
